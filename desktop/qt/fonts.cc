#include "desktop/qt/fonts.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace orvanta {
namespace {

constexpr char kCondensedStandIn[] = "DejaVu Sans Condensed";

// The first of `families` that is installed; the stand-in otherwise (Qt's own
// fallback takes over should even that be missing).
QFont Pick(const QStringList& families, bool bold) {
  const QStringList installed = QFontDatabase::families();
  QString family = QString::fromLatin1(kCondensedStandIn);
  for (const QString& candidate : families) {
    if (installed.contains(candidate, Qt::CaseInsensitive)) {
      family = candidate;
      break;
    }
  }
  QFont font(family);
  font.setPixelSize(kWindowFontPixels);
  font.setBold(bold);
  return font;
}

}  // namespace

QFont SettingsWindowFont() { return Pick({"Tahoma"}, true); }

QFont SettingsListFont() {
  QFont font = SettingsWindowFont();
  if (font.family() == QLatin1String(kCondensedStandIn)) {
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.25);
  }
  return font;
}

QFont TestWindowFont() { return Pick({"Tahoma"}, false); }

QFont DestinationsDialogFont() { return Pick({"Tahoma"}, false); }

QFont SetupDialogFont() { return Pick({"MS Sans Serif", "Tahoma"}, false); }

// Liberation Sans is drawn to Arial's metrics.
QFont ArialBoldFont() { return Pick({"Arial", "Liberation Sans"}, true); }

}  // namespace orvanta
