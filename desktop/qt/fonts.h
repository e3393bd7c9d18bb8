#ifndef ORVANTA_DESKTOP_QT_FONTS_H_
#define ORVANTA_DESKTOP_QT_FONTS_H_

#include <QFont>

namespace orvanta {

// The windows are laid out in fixed pixels for their fonts at 8 point on a
// 96 dpi screen, that is 11 pixels. The fonts are therefore sized in pixels,
// so a screen that reports another dpi does not make the texts outgrow their
// controls. Where a face the layout was made for is not installed (Tahoma and
// its kin rarely are on Linux) the face nearest to it in width stands in:
// DejaVu Sans Condensed (Debian package fonts-dejavu-extra).
inline constexpr int kWindowFontPixels = 11;

// The settings window: Tahoma 8 pt bold.
QFont SettingsWindowFont();
// The settings window's drop-down lists: the window font, its letters set a
// quarter pixel closer where the stand-in is used, so that the longest
// device kind fits the closed list as it does in Tahoma.
QFont SettingsListFont();
// The port test window: Tahoma 8 pt.
QFont TestWindowFont();
// The "Hedefler" dialog: Tahoma 8 pt.
QFont DestinationsDialogFont();
// The serial setup dialog: MS Sans Serif 8 pt.
QFont SetupDialogFont();
// The "Comport Ayarlari" button: Arial 8 pt bold.
QFont ArialBoldFont();

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_QT_FONTS_H_
