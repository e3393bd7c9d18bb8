#include "desktop/qt/platform_choice.h"

#include <QGuiApplication>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orvanta {
namespace {

QtMessageHandler qt_default_handler = nullptr;

void DropStartUpNoise(QtMsgType type, const QMessageLogContext& context,
                      const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) {
    if (message.startsWith(QLatin1String("QStandardPaths: ")) ||
        message.startsWith(QLatin1String("This plugin does not support")) ||
        (context.category &&
         std::strncmp(context.category, "qt.qpa.", 7) == 0)) {
      return;
    }
  }
  if (qt_default_handler) {
    qt_default_handler(type, context, message);
  } else {
    std::fprintf(
        stderr, "%s\n",
        qFormatLogMessage(type, context, message).toLocal8Bit().constData());
  }
}

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0];
}

}  // namespace

void ChooseQtPlatform() {
  if (Set("QT_QPA_PLATFORM")) return;
  if (!Set("DISPLAY") && !Set("WAYLAND_DISPLAY")) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  } else if (!Set("WAYLAND_DISPLAY")) {
    setenv("QT_QPA_PLATFORM", "xcb;offscreen", 1);
  }
}

void DropQtStartUpNoise() {
  qt_default_handler = qInstallMessageHandler(DropStartUpNoise);
}

bool RunsWithoutDisplay() {
  const QString platform = QGuiApplication::platformName();
  return platform == QLatin1String("offscreen") ||
         platform == QLatin1String("minimal");
}

}  // namespace orvanta
