#ifndef ORVANTA_CALLERID_TEST_FAKE_DESTINATIONS_VIEW_H_
#define ORVANTA_CALLERID_TEST_FAKE_DESTINATIONS_VIEW_H_

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "callerid/destination_tester.h"
#include "base/destinations_view.h"

namespace orvanta {

// Holds what the "Hedefler" dialog shows, as a screen would, and plays the
// user: ShowModal runs `user` (which types, clicks and reads through the
// helpers below) and returns when the presenter has closed the dialog or
// the user is done.
class FakeDestinationsView : public DestinationsView {
 public:
  using User = std::function<void(FakeDestinationsView&)>;
  explicit FakeDestinationsView(User user = {}) : user_(std::move(user)) {}

  void SetListener(DestinationsViewListener* listener) override {
    listener_ = listener;
  }
  void SetRows(const std::vector<std::u16string>& shown, int row) override {
    rows = shown;
    chosen = row;
  }
  void ShowPanel(Panel shown) override { panel = shown; }
  std::u16string Text(Field field) const override {
    const auto found = texts.find(field);
    return found == texts.end() ? std::u16string() : found->second;
  }
  void SetText(Field field, const std::u16string& text) override {
    texts[field] = text;
  }
  bool Checked(Check check) const override {
    const auto found = checks.find(check);
    return found != checks.end() && found->second;
  }
  void SetChecked(Check check, bool checked) override {
    checks[check] = checked;
  }
  int MethodIndex() const override { return method; }
  void SetMethodIndex(int index) override { method = index; }
  void SetButtonEnabled(Button button, bool enabled) override {
    buttons[button] = enabled;
  }
  void SetTestAnswer(const std::u16string& text) override { answer = text; }
  void SetProblems(const std::u16string& text) override { problems = text; }
  void SetNote(const std::u16string& text) override { note = text; }
  void SetStatus(const std::u16string& text) override { status = text; }
  void ShowModal() override {
    shown = true;
    closed = false;
    if (user_) user_(*this);
    shown = false;
  }
  void Close() override { closed = true; }
  void BringToFront() override { ++brought_to_front; }

  // The user's actions: what a real view reports, after taking them in.
  void Choose(int row) {
    chosen = row;
    listener_->OnRowChosen(row);
  }
  void Type(Field field, const std::u16string& text) {
    texts[field] = text;
    listener_->OnEdited();
  }
  void Tick(Check check, bool checked) {
    checks[check] = checked;
    listener_->OnEdited();
  }
  void ChooseMethod(int index) {
    method = index;
    listener_->OnEdited();
  }
  // A button that is off cannot be pressed.
  void Press(Button button) {
    if (!Enabled(button)) return;
    button == Button::kRemove ? listener_->OnRemove() : listener_->OnTest();
  }
  void AddWebhook() { listener_->OnAddWebhook(); }
  void Apply() { listener_->OnApply(); }
  void Save() { listener_->OnSave(); }
  void Cancel() { listener_->OnCancel(); }
  bool Enabled(Button button) const {
    const auto found = buttons.find(button);
    return found != buttons.end() && found->second;
  }
  DestinationsViewListener* listener() const { return listener_; }

  std::vector<std::u16string> rows;
  int chosen = -1;
  Panel panel = Panel::kNone;
  std::map<Field, std::u16string> texts;
  std::map<Check, bool> checks;
  int method = -1;
  std::map<Button, bool> buttons;
  std::u16string answer;
  std::u16string problems;
  std::u16string note;
  std::u16string status;
  bool shown = false;
  bool closed = false;
  int brought_to_front = 0;

 private:
  User user_;
  DestinationsViewListener* listener_ = nullptr;
};

// Answers when the test says so; remembers what it was asked to test.
class FakeDestinationTester : public DestinationTester {
 public:
  void TestWebhook(const WebhookSettings& settings,
                   DestinationTestDone done) override {
    webhooks.push_back(settings);
    pending.push_back(std::move(done));
  }
  void TestMqtt(const MqttSettings& settings,
                DestinationTestDone done) override {
    brokers.push_back(settings);
    pending.push_back(std::move(done));
  }
  // The oldest test still waiting gets its answer.
  void Answer(bool delivered, const std::u16string& text) {
    DestinationTestDone done = std::move(pending.front());
    pending.erase(pending.begin());
    done({delivered, text});
  }

  std::vector<WebhookSettings> webhooks;
  std::vector<MqttSettings> brokers;
  std::vector<DestinationTestDone> pending;
};

}  // namespace orvanta

#endif  // ORVANTA_CALLERID_TEST_FAKE_DESTINATIONS_VIEW_H_
