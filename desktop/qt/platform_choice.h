#ifndef ORVANTA_DESKTOP_QT_PLATFORM_CHOICE_H_
#define ORVANTA_DESKTOP_QT_PLATFORM_CHOICE_H_

namespace orvanta {

// Before the QApplication: without a display the programs still do their
// work, with Qt drawing into memory (the offscreen platform); an X display
// that cannot be reached (no access as another user, a stale DISPLAY) is no
// display either. A platform the user chose (QT_QPA_PLATFORM) stays.
void ChooseQtPlatform();

// Qt's remarks about the platform it starts on ("QStandardPaths:
// XDG_RUNTIME_DIR not set", the display plugins' warnings) say nothing the
// user can act on; from now on they are dropped. Qt's errors, and everything
// the program says itself (which does not go through Qt's log), still
// appear.
void DropQtStartUpNoise();

// After the QApplication: true when Qt runs without a screen.
bool RunsWithoutDisplay();

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_QT_PLATFORM_CHOICE_H_
