#ifndef ORVANTA_BASE_DESTINATIONS_VIEW_H_
#define ORVANTA_BASE_DESTINATIONS_VIEW_H_

#include <string>
#include <vector>

namespace orvanta {

class DestinationsViewListener;

// The "Hedefler" dialog as a passive view, the same for both programs: the
// list of destinations with "Webhook Ekle" and "Kaldır" under it, beside it
// the fields of the chosen one (a webhook's or the MQTT broker's), "Test"
// with its answer, what is wrong with the chosen destination, a note under
// the list, a status line and "Kaydet", "Uygula", "İptal".
//
// Everything shown is plain text the presenter made; the view draws it and
// remembers what the user typed. Setters never call the listener; the
// listener hears only the user's own actions, after the view has taken
// them in.
class DestinationsView {
 public:
  // The editor beside the list: none (no row chosen), a webhook's fields or
  // the broker's.
  enum class Panel { kNone, kWebhook, kMqtt };
  // The free-text fields. kWebhookHeaders has one header a line, lines
  // separated by "\n" in both directions.
  enum class Field {
    kWebhookUrl,
    kWebhookHeaders,
    kWebhookPin,
    kMqttUrl,
    kMqttUser,
    kMqttPassword,  // drawn as bullets
    kMqttClientId,
    kMqttPrefix,
    kMqttCaFile,
  };
  enum class Check { kWebhookEnabled, kMqttEnabled };
  // Buttons the presenter turns off and on.
  enum class Button { kRemove, kTest };

  virtual ~DestinationsView() = default;

  // Where the user's actions go; null detaches.
  virtual void SetListener(DestinationsViewListener* listener) = 0;

  // The list's rows, and the chosen one (-1: none).
  virtual void SetRows(const std::vector<std::u16string>& rows, int chosen) = 0;
  virtual void ShowPanel(Panel panel) = 0;

  virtual std::u16string Text(Field field) const = 0;
  virtual void SetText(Field field, const std::u16string& text) = 0;
  virtual bool Checked(Check check) const = 0;
  virtual void SetChecked(Check check, bool checked) = 0;
  // The webhook's method, an index into destinations_text::kMethods.
  virtual int MethodIndex() const = 0;
  virtual void SetMethodIndex(int index) = 0;
  virtual void SetButtonEnabled(Button button, bool enabled) = 0;

  // Under "Test": the last test's answer for the chosen destination.
  virtual void SetTestAnswer(const std::u16string& text) = 0;
  // Under the fields: the chosen destination's errors and warnings, one a
  // line.
  virtual void SetProblems(const std::u16string& text) = 0;
  // Under the list; empty: nothing.
  virtual void SetNote(const std::u16string& text) = 0;
  // At the bottom: what became of "Uygula" or "Kaydet", or what was found
  // in the file when the dialog opened.
  virtual void SetStatus(const std::u16string& text) = 0;

  // Shows the dialog modally; returns once Close() was called. Other
  // windows are disabled meanwhile, but calls, tray events and test
  // answers go on.
  virtual void ShowModal() = 0;
  virtual void Close() = 0;
  // The dialog is open and asked for again: to the front.
  virtual void BringToFront() = 0;
};

// What the user does in the dialog. The presenter catches every failure
// inside these calls.
class DestinationsViewListener {
 public:
  virtual ~DestinationsViewListener() = default;
  virtual void OnRowChosen(int row) = 0;
  virtual void OnAddWebhook() = 0;  // "Webhook Ekle"
  virtual void OnRemove() = 0;      // "Kaldır"
  // A field typed in, the method chosen, a box ticked or unticked: the view
  // holds the new value.
  virtual void OnEdited() = 0;
  virtual void OnTest() = 0;    // "Test"
  virtual void OnApply() = 0;   // "Uygula"
  virtual void OnSave() = 0;    // "Kaydet"
  virtual void OnCancel() = 0;  // "İptal", Esc or the close box
};

namespace destinations_text {
inline constexpr char16_t kCaption[] = u"Hedefler";
inline constexpr char16_t kAddWebhook[] = u"Webhook Ekle";
inline constexpr char16_t kRemove[] = u"Kald\u0131r";
inline constexpr char16_t kUrl[] = u"Adres (URL)";
inline constexpr char16_t kMethod[] = u"Y\u00f6ntem";
inline constexpr const char16_t* kMethods[] = {u"POST", u"GET"};
inline constexpr char16_t kHeaders[] = u"Ba\u015fl\u0131klar";
inline constexpr char16_t kHeadersHint[] =
    u"Her sat\u0131ra bir ba\u015fl\u0131k: Ad: de\u011fer";
inline constexpr char16_t kPin[] = u"PIN (SHA-256)";
inline constexpr char16_t kEnabled[] = u"Etkin";
inline constexpr char16_t kBroker[] = u"Sunucu (URL)";
inline constexpr char16_t kUser[] = u"Kullan\u0131c\u0131";
inline constexpr char16_t kPassword[] = u"Parola";
inline constexpr char16_t kClientId[] = u"\u0130stemci kimli\u011fi";
inline constexpr char16_t kPrefix[] = u"Konu \u00f6neki";
inline constexpr char16_t kCaFile[] = u"CA dosyas\u0131";
inline constexpr char16_t kTest[] = u"Test";
inline constexpr char16_t kSave[] = u"Kaydet";
inline constexpr char16_t kApply[] = u"Uygula";
inline constexpr char16_t kCancel[] = u"\u0130ptal";
}  // namespace destinations_text

}  // namespace orvanta

#endif  // ORVANTA_BASE_DESTINATIONS_VIEW_H_
