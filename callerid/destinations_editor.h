#ifndef ORVANTA_CALLERID_DESTINATIONS_EDITOR_H_
#define ORVANTA_CALLERID_DESTINATIONS_EDITOR_H_

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "callerid/destination_settings.h"
#include "callerid/destination_tester.h"
#include "base/destinations_view.h"

namespace orvanta {

struct DestinationsEditorOptions {
  // Hedefler.ini.
  std::u16string path;
  // Whether the dialog offers the MQTT broker (MqttDestinationsAvailable()).
  // Without it a note under the list says how MQTT is reached, and an
  // [MQTT] section found in the file is written back as it was.
  bool mqtt = false;
  // A new, not yet shown dialog, each time it opens.
  std::function<std::unique_ptr<DestinationsView>()> make_view;
  // At the first "Test"; kept from then on, so that closing the dialog
  // never waits for a test still running.
  std::function<std::unique_ptr<DestinationTester>()> make_tester;
  // Before Hedefler.ini is written: makes the settings folder when it is
  // missing. May be empty.
  std::function<void()> create_folder;
  // After Hedefler.ini was written: the program takes the destinations on
  // (reads the file again). May be empty.
  std::function<void()> saved;
};

// The "Hedefler" dialog's behaviour, the same in both programs and on both
// platforms, over its passive view:
//
// - the list: each webhook ("Webhook 1: POST https://…", its password and
//   query left out), then the MQTT broker where it is offered; "(kapalı)"
//   marks one switched off, "(hatalı)" one that cannot be saved as it is;
// - the chosen destination's fields, taken in as they are typed, with its
//   errors and warnings (plain http:// or mqtt:// beyond the private
//   ranges) under them;
// - "Webhook Ekle" adds an empty webhook and chooses it; "Kaldır" removes
//   the chosen webhook, or empties the broker's fields (no [MQTT] section);
// - "Test" sends the test call to the chosen destination as it stands,
//   saved or not; the button is off while a test runs, and the answer
//   (the status, or the error) is kept with the destination it was for;
// - "Uygula" checks everything and writes the file, then the program reads
//   it again; with an error nothing is written, the status says why and
//   the destination at fault is chosen. "Kaydet" does the same and closes
//   the dialog once the file is written; "İptal" closes it, unsaved.
//
// Every entry point catches its failures and shows them on the status line.
class DestinationsEditor : private DestinationsViewListener {
 public:
  explicit DestinationsEditor(DestinationsEditorOptions options);
  ~DestinationsEditor() override;
  DestinationsEditor(const DestinationsEditor&) = delete;
  DestinationsEditor& operator=(const DestinationsEditor&) = delete;

  // Reads Hedefler.ini, fills a new dialog and shows it modally; returns
  // when it is closed. Asked again while it is open, it brings the dialog to
  // the front instead. A file that cannot be read leaves the list empty,
  // with the reason on the status line.
  void Open();
  bool IsOpen() const { return view_ != nullptr; }

 private:
  struct WebhookRow {
    WebhookSettings settings;
    int id = 0;  // stays with the webhook while it is moved up the list
    std::u16string answer;
  };

  // DestinationsViewListener.
  void OnRowChosen(int row) override;
  void OnAddWebhook() override;
  void OnRemove() override;
  void OnEdited() override;
  void OnTest() override;
  void OnApply() override;
  void OnSave() override;
  void OnCancel() override;

  void Guarded(const std::function<void()>& action);
  void Load();
  bool Apply();
  void Test();
  void Answered(int id, const DestinationTestAnswer& answer);

  int RowCount() const;
  int MqttRow() const;  // -1 when the broker is not offered
  bool MqttConfigured() const;
  DestinationSettings Collected() const;
  std::vector<SettingsProblem> ProblemsOf(
      int row, const std::vector<SettingsProblem>& all) const;
  std::u16string RowText(int row,
                         const std::vector<SettingsProblem>& all) const;
  std::u16string* AnswerOf(int id);

  // Into the view: the list and the chosen row's panel, its fields (only
  // when `fields`, never while the user types in them), its answer,
  // problems and buttons.
  void Show(bool fields);
  void ReadPanel();

  DestinationsEditorOptions options_;
  DestinationsView* view_ = nullptr;  // while the dialog is open
  std::unique_ptr<DestinationTester> tester_;

  std::vector<WebhookRow> webhooks_;
  MqttSettings mqtt_;  // all fields empty: no broker
  int mqtt_id_ = 0;
  std::u16string mqtt_answer_;
  // The file's [MQTT] section where the broker is not offered here.
  std::optional<MqttSettings> kept_mqtt_;
  int chosen_ = -1;
  int next_id_ = 1;
  int testing_ = 0;  // the id of the destination under test, 0: none
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_DESTINATIONS_EDITOR_H_
