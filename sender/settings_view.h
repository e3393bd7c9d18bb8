#ifndef ORVANTA_SENDER_SETTINGS_VIEW_H_
#define ORVANTA_SENDER_SETTINGS_VIEW_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "sender/log_model.h"

namespace orvanta {

class SettingsViewListener;

// The settings window as a passive view: it draws
// the controls, holds their state and reports what the user did. Every rule
// (which panel shows when, what a programmatic change raises, number
// formats, what the buttons do) lives in the presenter, so the Win32 and Qt
// windows stay dumb and behave the same.
//
// Setters never raise listener calls: the presenter raises the click events
// a programmatic change must raise itself. Listener calls come only from the
// user's own actions, after the view has updated its state.
//
// Starting values: the view only builds the controls with their texts and
// items (the constants below); the presenter puts the window resource's
// starting state (ticks, indexes, texts, visibility) into the view when it
// is constructed.

// Edits holding free text (the port edit's text is formatted by the
// presenter).
enum class SettingsEdit {
  kPortNumber,     // numeric edit "Bildirim Portu"; see PortTextAccepts()
  kStartText,      // "Paket Baslama Metni"
  kEndText,        // "Paket Bitis Metni"
  kMainMachineIp,  // "AnaMakina IP"
  kModemCommands,  // "Başlatma Komutu"
  kModemLine,      // the modem's "Hat No"
};

// Spin edits: whole numbers kSpinMinimum..kSpinMaximum, step 1, typing
// disabled (up/down buttons and arrow keys only). The view keeps user steps
// inside that range itself; values from the program arrive already clamped.
enum class SettingsSpin {
  kNumberStart,   // "Telefon No Baslangic Karakter No"
  kNumberLength,  // "Telefon No Uzunlugu"
  kLineStart,     // "Hat No Başlangıç / Uzunluk", the first of the two
  kLineLength,    // the second
};
inline constexpr int kSpinMinimum = 0;
inline constexpr int kSpinMaximum = 500;

// Choose-from-list combo boxes; index -1 means no item chosen.
enum class SettingsCombo {
  kArgDeviceKind,  // items kArgDeviceKindItems
  kArgComPort,     // items kArgComPortItems
};

// Controls whose visibility the presenter switches. A hidden panel hides
// everything inside it; the children keep their own flag (the ARG panel
// shown inside a hidden caller-ID panel stays invisible until the parent
// shows).
enum class SettingsShown {
  kCallerIdPanel,
  kArgPanel,
  kSerialPanel,
  kModemPanel,
  kArgChoiceLabel,
  kMainMachineIp,
  kArgComPort,
};

// The log pane's part (LogView) includes whether the window is on screen.
class SettingsView : public LogView {
 public:
  virtual ~SettingsView() = default;

  // The caller-ID check box, ticked.
  virtual bool CallerIdEnabled() const = 0;
  virtual void SetCallerIdEnabled(bool checked) = 0;

  // The source radio group, chosen item: -1 (none), 0, 1, 2 or 3.
  virtual int SourceIndex() const = 0;
  virtual void SetSourceIndex(int index) = 0;

  // Text of an edit, exactly as shown.
  virtual std::u16string EditText(SettingsEdit edit) const = 0;
  virtual void SetEditText(SettingsEdit edit, const std::u16string& text) = 0;

  virtual int SpinValue(SettingsSpin spin) const = 0;
  virtual void SetSpinValue(SettingsSpin spin, int value) = 0;

  // Chosen item, -1 for none; the presenter passes -1..count-1 only.
  virtual int ComboIndex(SettingsCombo combo) const = 0;
  virtual void SetComboIndex(SettingsCombo combo, int index) = 0;

  virtual void SetControlVisible(SettingsShown control, bool visible) = 0;

  // The ARG choice label's caption ("AnaMakina IP" / "ComPort Seçimi").
  virtual void SetArgChoiceLabel(const std::u16string& text) = 0;

  // The window itself.
  virtual void SetCaption(const std::u16string& caption) = 0;
  // Make the window visible (with its taskbar button) and bring it to the
  // front; centred on the screen the first time it is shown.
  virtual void ShowWindow() = 0;
  // Hide the window (and its taskbar button); the program goes on in the tray.
  virtual void HideWindow() = 0;

  // Where the user's actions go; null detaches. Set by the presenter.
  virtual void SetListener(SettingsViewListener* listener) = 0;
};

// The user's actions in the settings window. The presenter catches every
// failure inside these calls (they never throw back into the view).
class SettingsViewListener {
 public:
  virtual ~SettingsViewListener() = default;

  // The caller-ID check box ticked/unticked by the user.
  virtual void OnCallerIdClick() = 0;
  // The user chose a source.
  virtual void OnSourceClick() = 0;
  // The user picked an ARG device kind (the COM port list needs no report).
  virtual void OnArgDeviceKindChange() = 0;
  // Double-click in a log pane (the ARG panel's or the modem panel's).
  virtual void OnLogPaneDoubleClick() = 0;

  // The port edit: Esc pressed (the presenter puts the last value back) and the
  // focus leaving it (the presenter takes the value and reformats the text).
  // Keystrokes are filtered by the view with PortTextAccepts().
  virtual void OnPortEditEscape() = 0;
  virtual void OnPortEditExit() = 0;

  virtual void OnSave() = 0;          // "Kaydet"
  virtual void OnApply() = 0;         // "Uygula"
  virtual void OnHide() = 0;          // "Gizle"
  virtual void OnClose() = 0;         // "Kapat"
  virtual void OnTestPort() = 0;      // "Portu Test Et"
  virtual void OnOpenPortTest() = 0;  // either "Test Ekranı"
  // Either "Comport Ayarlari": every click, unfiltered (the
  // presenter applies the button's 500 ms click guard).
  virtual void OnPortSettings() = 0;
  virtual void OnDestinations() = 0;  // "Hedefler"
  // "Bağlan" has no action and reports nothing.

  // The close box, the system menu's Close or Alt+F4. The view must NOT
  // close or hide itself: the presenter hides the window or ends the program.
  virtual void OnCloseRequest() = 0;
};

// The port edit's keystroke filter: true when `resulting_text` (the edit's text
// as the keystroke or paste would leave it) is still a whole number as far as
// typed: empty, or an optional leading "-" followed by digits only. The view
// drops keystrokes and pastes for which this is false.
bool PortTextAccepts(std::u16string_view resulting_text);

// Texts of the settings window's controls (places: sender/settings_layout.h).
namespace settings_text {
inline constexpr char16_t kCallerIdEnabled[] =
    u"Arayan Numarayi Tanıma (Caller ID) Aktif";
inline constexpr char16_t kPortLabel[] = u"Bildirim Portu";
inline constexpr char16_t kTestPort[] = u"Portu Test Et";
inline constexpr char16_t kPortExplanation[] =
    u"Ağ üzerindeki bilgisayarlarda kurulu olan VELMORIS programlarına bu port "
    u"üzerinden arayan numara bilgisi gönderilir. Bu nedenle Caller ID desteği "
    u"bulunan programda da aynı port numarasını kullanınız.";
inline constexpr char16_t kSourceTitle[] = u"Cihaz";
inline constexpr const char16_t* kSourceItems[] = {
    u"CID2 (Sistemler)", u"ARG", u"Seri Port Bağlantı", u"Modem"};
inline constexpr char16_t kArgDeviceKindLabel[] = u"Cihaz Seçimi...";
inline constexpr const char16_t* kArgDeviceKindItems[] = {
    u"Cihaz Seçimi Yapınız...", u"(1) CALLER ID",
    u"(2) CALLER ID - HID USB UYUMLU", u"(3) CALLER ID - SES KAYIT ENTEGRE",
    u"(4) CALLER ID - HID COMPORT"};
inline constexpr const char16_t* kArgComPortItems[] = {
    u"COM 1", u"COM 2", u"COM 3", u"COM 4", u"COM 5",
    u"COM 6", u"COM 7", u"COM 8", u"COM 9"};
inline constexpr char16_t kArgChoiceIp[] = u"AnaMakina IP";
inline constexpr char16_t kArgChoiceComPort[] = u"ComPort Seçimi";
inline constexpr char16_t kConnect[] = u"Bağlan";
inline constexpr char16_t kLogPaneHint[] =
    u"İçeriği temizlemek için çift tıklayınız";
inline constexpr char16_t kPortSettings[] = u"Comport Ayarlari";
inline constexpr char16_t kPortSettingsHint[] = u"Kapat";
inline constexpr char16_t kStartTextLabel[] = u"Paket Baslama Metni";
inline constexpr char16_t kEndTextLabel[] = u"Paket Bitis Metni";
inline constexpr char16_t kNumberStartLabel[] =
    u"Telefon No Baslangic Karakter No";
inline constexpr char16_t kNumberLengthLabel[] = u"Telefon No Uzunlugu";
inline constexpr char16_t kLineLabel[] = u"Hat No Başlangıç / Uzunluk";
inline constexpr char16_t kAsciiCodesHint[] =
    u"ASCII Karakterleri #13 ,#10 seklinde belirtiniz.";
inline constexpr char16_t kOpenPortTest[] = u"Test Ekranı";
inline constexpr char16_t kModemCommandsLabel[] = u"Başlatma Komutu";
inline constexpr char16_t kModemLineLabel[] = u"Hat No";
// Three lines, broken where they must be on every platform's font.
inline constexpr char16_t kModemHint[] =
    u"Boş bırakılırsa şu komutlar sırayla denenir:\n"
    u"AT+VCID=1, AT#CID=1, AT%CCID=1, AT+CID=1\n"
    u"Komutları ; ile ayırınız: AT+GCI=AE;AT+VCID=1";
// Opens the dialog of the places calls go beyond the LAN.
inline constexpr char16_t kDestinations[] = u"Hedefler";
inline constexpr char16_t kSave[] = u"Kaydet";
inline constexpr char16_t kApply[] = u"Uygula";
inline constexpr char16_t kHide[] = u"Gizle";
inline constexpr char16_t kClose[] = u"Kapat";
}  // namespace settings_text

}  // namespace orvanta

#endif  // ORVANTA_SENDER_SETTINGS_VIEW_H_
