#ifndef ORVANTA_CALLERID_SETTINGS_FILES_H_
#define ORVANTA_CALLERID_SETTINGS_FILES_H_

namespace orvanta {

// The program's two settings files, side by side in the settings folder:
// the stored values, and the serial port's line parameters.
inline constexpr char16_t kSettingsFileName[] = u"Setting.ini";
inline constexpr char16_t kPortSettingsFileName[] = u"calleridcomport.ini";

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_SETTINGS_FILES_H_
