#ifndef ORVANTA_DESKTOP_QT_QT_TEXT_H_
#define ORVANTA_DESKTOP_QT_QT_TEXT_H_

#include <QString>

#include <string>
#include <string_view>

namespace orvanta {

// The program's UTF-16 texts and Qt's, both ways, unchanged.
inline QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string FromQString(const QString& text) {
  return text.toStdU16String();
}

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_QT_QT_TEXT_H_
