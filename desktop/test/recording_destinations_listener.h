#ifndef ORVANTA_DESKTOP_TEST_RECORDING_DESTINATIONS_LISTENER_H_
#define ORVANTA_DESKTOP_TEST_RECORDING_DESTINATIONS_LISTENER_H_

#include <string>
#include <vector>

#include "base/destinations_view.h"

namespace orvanta {

// What the presenter would hear from a "Hedefler" dialog, in order; "İptal"
// closes, as the presenter does.
class RecordingDestinationsListener : public DestinationsViewListener {
 public:
  explicit RecordingDestinationsListener(DestinationsView& view)
      : view_(view) {}
  void OnRowChosen(int row) override {
    heard.push_back("row " + std::to_string(row));
  }
  void OnAddWebhook() override { heard.push_back("add"); }
  void OnRemove() override { heard.push_back("remove"); }
  void OnEdited() override { heard.push_back("edited"); }
  void OnTest() override { heard.push_back("test"); }
  void OnApply() override { heard.push_back("apply"); }
  void OnSave() override { heard.push_back("save"); }
  void OnCancel() override {
    heard.push_back("cancel");
    view_.Close();
  }
  std::vector<std::string> heard;

 private:
  DestinationsView& view_;
};

}  // namespace orvanta

#endif  // ORVANTA_DESKTOP_TEST_RECORDING_DESTINATIONS_LISTENER_H_
