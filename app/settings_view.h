#ifndef ORVANTA_APP_SETTINGS_VIEW_H_
#define ORVANTA_APP_SETTINGS_VIEW_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

class SettingsViewListener;

// The settings window (the main window `TAnaF`) as a passive view: it draws
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

// Edits holding free text (EditPort's text is formatted by the presenter).
enum class SettingsEdit {
  kEditPort,      // numeric edit "Bildirim Portu"; see EditPortAccepts()
  kEditBaslama,   // "Paket Baslama Metni"
  kEditBitis,     // "Paket Bitis Metni"
  kEditIP,        // "AnaMakina IP"
};

// Spin edits: whole numbers kSpinMinimum..kSpinMaximum, step 1, typing
// disabled (up/down buttons and arrow keys only). The view keeps user steps
// inside that range itself; values from the program arrive already clamped.
enum class SettingsSpin {
  kRxSpinEditNoBaslama,  // "Telefon No Baslangic Karakter No"
  kRxSpinEditNoUzunluk,  // "Telefon No Uzunlugu"
};
inline constexpr int kSpinMinimum = 0;
inline constexpr int kSpinMaximum = 500;

// Choose-from-list combo boxes; index -1 means no item chosen.
enum class SettingsCombo {
  kComboCIHAZ,  // items kComboCihazItems
  kComboPORT,   // items kComboPortItems
};

// Controls whose visibility the presenter switches. A hidden panel hides
// everything inside it; the children keep their own flag (PanARG shown
// inside a hidden PanelCallerID stays invisible until the parent shows).
enum class SettingsShown {
  kPanelCallerID,
  kPanARG,
  kPanelDiger,
  kLabelSec,
  kEditIP,
  kComboPORT,
};

class SettingsView {
 public:
  virtual ~SettingsView() = default;

  // CheckBoxCallerIDKullan, ticked.
  virtual bool CheckBoxCallerIDKullanChecked() const = 0;
  virtual void SetCheckBoxCallerIDKullanChecked(bool checked) = 0;

  // RadioGroupCihaz, chosen item: -1 (none), 0, 1 or 2.
  virtual int RadioGroupCihazIndex() const = 0;
  virtual void SetRadioGroupCihazIndex(int index) = 0;

  // Text of an edit, exactly as shown.
  virtual std::u16string EditText(SettingsEdit edit) const = 0;
  virtual void SetEditText(SettingsEdit edit, const std::u16string& text) = 0;

  virtual int SpinValue(SettingsSpin spin) const = 0;
  virtual void SetSpinValue(SettingsSpin spin, int value) = 0;

  // Chosen item, -1 for none; the presenter passes -1..count-1 only.
  virtual int ComboIndex(SettingsCombo combo) const = 0;
  virtual void SetComboIndex(SettingsCombo combo, int index) = 0;

  virtual void SetControlVisible(SettingsShown control, bool visible) = 0;

  // LabelSec's caption ("AnaMakina IP" / "ComPort Seçimi").
  virtual void SetLabelSecText(const std::u16string& text) = 0;

  // MemoLog's pane: new last lines, in order; the first `count` lines
  // removed (fewer than it holds); the whole text cleared. The pane holds
  // only lines added here.
  virtual void AddMemoLogLines(const std::vector<std::u16string>& lines) = 0;
  virtual void RemoveFirstMemoLogLines(size_t count) = 0;
  virtual void ClearMemoLog() = 0;

  // The window itself.
  virtual void SetCaption(const std::u16string& caption) = 0;
  // Make the window visible (with its taskbar button) and bring it to the
  // front; centred on the screen the first time it is shown.
  virtual void ShowWindow() = 0;
  // Hide the window (and its taskbar button); the program goes on in the tray.
  virtual void HideWindow() = 0;
  // Whether the window is on screen (shown and not hidden since).
  virtual bool WindowVisible() const = 0;

  // Where the user's actions go; null detaches. Set by the presenter.
  virtual void SetListener(SettingsViewListener* listener) = 0;
};

// The user's actions in the settings window. The presenter catches every
// failure inside these calls (they never throw back into the view).
class SettingsViewListener {
 public:
  virtual ~SettingsViewListener() = default;

  // CheckBoxCallerIDKullan ticked/unticked by the user.
  virtual void OnCheckBoxClick() = 0;
  // The user chose an item of RadioGroupCihaz.
  virtual void OnRadioGroupClick() = 0;
  // The user picked an item of ComboCIHAZ (ComboPORT needs no report).
  virtual void OnComboCihazChange() = 0;
  // Double-click in MemoLog.
  virtual void OnMemoLogDblClick() = 0;

  // EditPort: Esc pressed (the presenter puts the last value back) and the
  // focus leaving it (the presenter takes the value and reformats the text).
  // Keystrokes are filtered by the view with EditPortAccepts().
  virtual void OnEditPortEscape() = 0;
  virtual void OnEditPortExit() = 0;

  virtual void OnKaydet() = 0;            // sButton1 "Kaydet"
  virtual void OnUygula() = 0;            // sButton2 "Uygula"
  virtual void OnGizle() = 0;             // sButton3 "Gizle"
  virtual void OnKapat() = 0;             // ButtonKapat "Kapat"
  virtual void OnPortuTestEt() = 0;       // sButton4 "Portu Test Et"
  virtual void OnTestEkrani() = 0;        // sButton5 "Test Ekranı"
  // VmWinButtonComPort "Comport Ayarlari": every click, unfiltered (the
  // presenter applies the button's 500 ms click guard).
  virtual void OnComportAyarlari() = 0;
  // ButtonBaglan "Bağlan" has no action and reports nothing.

  // The close box, the system menu's Close or Alt+F4. The view must NOT
  // close or hide itself: the presenter hides the window or ends the program.
  virtual void OnCloseRequest() = 0;
};

// EditPort keystroke filter: true when `resulting_text` (the edit's text as
// the keystroke or paste would leave it) is still a whole number as far as
// typed: empty, or an optional leading "-" followed by digits only. The view
// drops keystrokes and pastes for which this is false.
bool EditPortAccepts(std::u16string_view resulting_text);

// Texts of the settings window's controls (layout: see the view folders).
namespace settings_text {
inline constexpr char16_t kCheckBoxCallerIDKullan[] =
    u"Arayan Numarayi Tanıma (Caller ID) Aktif";
inline constexpr char16_t kSLabel1[] = u"Bildirim Portu";
inline constexpr char16_t kSButton4[] = u"Portu Test Et";
inline constexpr char16_t kSLabel2[] =
    u"Ağ üzerindeki bilgisayarlarda kurulu olan VELMORIS programlarına bu port "
    u"üzerinden arayan numara bilgisi gönderilir. Bu nedenle Caller ID desteği "
    u"bulunan programda da aynı port numarasını kullanınız.";
inline constexpr char16_t kRadioGroupCihazTitle[] = u"Cihaz";
inline constexpr const char16_t* kRadioGroupCihazItems[] = {
    u"CID2 (Sistemler)", u"ARG", u"Seri Port Bağlantı"};
inline constexpr char16_t kSLabel3[] = u"Cihaz Seçimi...";
inline constexpr const char16_t* kComboCihazItems[] = {
    u"Cihaz Seçimi Yapınız...", u"(1) CALLER ID",
    u"(2) CALLER ID - HID USB UYUMLU", u"(3) CALLER ID - SES KAYIT ENTEGRE",
    u"(4) CALLER ID - HID COMPORT"};
inline constexpr const char16_t* kComboPortItems[] = {
    u"COM 1", u"COM 2", u"COM 3", u"COM 4", u"COM 5",
    u"COM 6", u"COM 7", u"COM 8", u"COM 9"};
inline constexpr char16_t kLabelSecIp[] = u"AnaMakina IP";
inline constexpr char16_t kLabelSecComPort[] = u"ComPort Seçimi";
inline constexpr char16_t kButtonBaglan[] = u"Bağlan";
inline constexpr char16_t kMemoLogHint[] =
    u"İçeriği temizlemek için çift tıklayınız";
inline constexpr char16_t kVmWinButtonComPort[] = u"Comport Ayarlari";
inline constexpr char16_t kVmWinButtonComPortHint[] = u"Kapat";
inline constexpr char16_t kLabel23[] = u"Paket Baslama Metni";
inline constexpr char16_t kLabel24[] = u"Paket Bitis Metni";
inline constexpr char16_t kLabel26[] = u"Telefon No Baslangic Karakter No";
inline constexpr char16_t kLabel27[] = u"Telefon No Uzunlugu";
inline constexpr char16_t kLabel25[] =
    u"ASCII Karakterleri #13 ,#10 seklinde belirtiniz.";
inline constexpr char16_t kSButton5[] = u"Test Ekranı";
inline constexpr char16_t kSButton1[] = u"Kaydet";
inline constexpr char16_t kSButton2[] = u"Uygula";
inline constexpr char16_t kSButton3[] = u"Gizle";
inline constexpr char16_t kButtonKapat[] = u"Kapat";
}  // namespace settings_text

}  // namespace orvanta

#endif  // ORVANTA_APP_SETTINGS_VIEW_H_
