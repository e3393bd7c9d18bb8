#ifndef ORVANTA_SENDER_TEST_FAKE_VIEWS_H_
#define ORVANTA_SENDER_TEST_FAKE_VIEWS_H_

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "callerid/test/fake_destinations_view.h"
#include "sender/settings_presenter.h"
#include "sender/port_test_view.h"
#include "sender/settings_view.h"
#include "sender/setup_dialog_view.h"
#include "sender/shell.h"

namespace orvanta {

// The settings window as plain state, acting like a real window: a user
// action changes the state first and then tells the listener.
class FakeSettingsView : public SettingsView {
 public:
  bool CallerIdEnabled() const override { return caller_id_enabled; }
  void SetCallerIdEnabled(bool value) override { caller_id_enabled = value; }
  int SourceIndex() const override { return source_index; }
  void SetSourceIndex(int index) override { source_index = index; }
  std::u16string EditText(SettingsEdit edit) const override {
    auto it = edits.find(edit);
    return it == edits.end() ? std::u16string() : it->second;
  }
  void SetEditText(SettingsEdit edit, const std::u16string& text) override {
    edits[edit] = text;
  }
  int SpinValue(SettingsSpin spin) const override {
    auto it = spins.find(spin);
    return it == spins.end() ? 0 : it->second;
  }
  void SetSpinValue(SettingsSpin spin, int value) override {
    spins[spin] = value;
  }
  int ComboIndex(SettingsCombo combo) const override {
    auto it = combos.find(combo);
    return it == combos.end() ? -1 : it->second;
  }
  void SetComboIndex(SettingsCombo combo, int index) override {
    combos[combo] = index;
  }
  void SetControlVisible(SettingsShown control, bool value) override {
    visible[control] = value;
  }
  void SetArgChoiceLabel(const std::u16string& text) override {
    arg_choice_label = text;
  }
  void AddLogLines(const std::vector<std::u16string>& lines) override {
    log_pane.insert(log_pane.end(), lines.begin(), lines.end());
    ++log_pane_draws;
  }
  void RemoveFirstLogLines(size_t count) override {
    log_pane.erase(log_pane.begin(),
                   log_pane.begin() + static_cast<ptrdiff_t>(count));
  }
  void ClearLogPane() override { log_pane.clear(); }
  void SetCaption(const std::u16string& text) override { caption = text; }
  void ShowWindow() override {
    window_visible = true;
    ++brought_to_front;
  }
  void HideWindow() override { window_visible = false; }
  bool WindowVisible() const override { return window_visible; }
  void SetListener(SettingsViewListener* value) override { listener = value; }

  // What the user sees: a control inside a hidden panel is not shown.
  bool Shown(SettingsShown control) const;

  // The user's actions.
  void ClickCheckBox() {
    caller_id_enabled = !caller_id_enabled;
    listener->OnCallerIdClick();
  }
  void ChooseRadio(int index) {
    source_index = index;
    listener->OnSourceClick();
  }
  void ChooseDeviceKind(int index) {
    combos[SettingsCombo::kArgDeviceKind] = index;
    listener->OnArgDeviceKindChange();
  }
  // Types `text` key by key into the port edit, as the filter lets it through.
  void TypeIntoPortEdit(const std::u16string& text);

  bool caller_id_enabled = false;
  int source_index = -1;
  std::map<SettingsEdit, std::u16string> edits;
  std::map<SettingsSpin, int> spins;
  std::map<SettingsCombo, int> combos;
  std::map<SettingsShown, bool> visible;
  std::u16string arg_choice_label;
  std::vector<std::u16string> log_pane;
  int log_pane_draws = 0;  // calls of AddLogLines
  std::u16string caption;
  bool window_visible = false;
  int brought_to_front = 0;
  SettingsViewListener* listener = nullptr;
};

// Events of the shell, in the order they happened, for tests that check
// what came before what ("info: ...", "error: ...", "balloon: ...").
using Journal = std::vector<std::string>;

class FakePortTestView : public PortTestView {
 public:
  FakePortTestView(PortTestViewListener& listener,
                   std::function<void(FakePortTestView&)> while_shown)
      : listener(listener), while_shown_(std::move(while_shown)) {}
  ~FakePortTestView() override {
    destroyed = true;
    if (on_destroy) on_destroy();
  }
  void AppendText(const std::u16string& text) override { text_pane += text; }
  void AddByteLine(const std::u16string& line) override {
    byte_pane.push_back(line);
  }
  void ShowModal() override {
    showing = true;
    if (while_shown_) while_shown_(*this);
    showing = false;
  }
  void Close() override { closed = true; }

  PortTestViewListener& listener;
  std::u16string text_pane;
  std::vector<std::u16string> byte_pane;
  bool showing = false;
  bool closed = false;
  std::function<void()> on_destroy;
  static inline bool destroyed = false;

 private:
  std::function<void(FakePortTestView&)> while_shown_;
};

class FakeSetupDialogView : public SetupDialogView {
 public:
  explicit FakeSetupDialogView(std::function<bool(FakeSetupDialogView&)> user)
      : user_(std::move(user)) {}
  void SetList(int list, const std::vector<std::u16string>& entries,
               int chosen) override {
    lists[list] = entries;
    this->chosen[list] = chosen;
  }
  int ChosenIndex(int list) const override { return chosen[list]; }
  bool ShowModal() override { return user_ ? user_(*this) : false; }

  std::vector<std::u16string> lists[kListCount];
  int chosen[kListCount] = {-1, -1, -1, -1, -1, -1};

 private:
  std::function<bool(FakeSetupDialogView&)> user_;
};

class FakeShell : public Shell {
 public:
  struct Message {
    std::u16string text;
    std::u16string title;
    MessageIcon icon;
    MessageButtons buttons;
  };

  MessageAnswer ShowMessage(const std::u16string& text,
                            const std::u16string& title, MessageIcon icon,
                            MessageButtons buttons) override;
  void SetTrayTip(const std::u16string& tip) override { tray_tip = tip; }
  void ShowBalloon(const std::u16string& title, const std::u16string& text,
                   uint32_t timeout_ms) override;
  bool HasScreen() const override { return has_screen; }
  bool HasTray() const override { return has_tray; }
  // Creates the folder for real, as the platforms do.
  void CreateSettingsFolder() override;
  void PostAutoStart() override { ++posted_auto_starts; }
  void Quit() override { ++quits; }
  void WakeUiThread() override { ++wakes; }
  void SetWakeHandler(std::function<void()> serve) override {
    wake_handler = std::move(serve);
  }
  std::u16string ExePath() const override { return exe_path; }
  char16_t PathSeparator() const override { return separator; }
  std::u16string SettingsFolder() const override {
    return DirectoryOf(exe_path, separator);
  }
  uint32_t TickCount() const override { return tick_count; }
  std::unique_ptr<SetupDialogView> CreateSetupDialogView() override;
  std::unique_ptr<PortTestView> CreatePortTestView(
      PortTestViewListener& listener) override;
  std::unique_ptr<DestinationsView> CreateDestinationsView() override {
    ++destinations_dialogs_created;
    return std::make_unique<FakeDestinationsView>(destinations_user);
  }
  void SetListener(ShellListener* value) override { listener = value; }

  // The message loop reaching the posted start-up messages.
  void DeliverAutoStart();

  std::vector<Message> InfoBoxes() const;

  Journal journal;
  std::vector<Message> messages;
  // Answers for Yes/No questions, first to last; kYes once they run out.
  std::deque<MessageAnswer> answers;
  std::u16string tray_tip;
  bool has_screen = true;
  bool has_tray = true;
  int settings_folder_creations = 0;
  int posted_auto_starts = 0;
  int quits = 0;
  std::atomic<int> wakes{0};
  std::function<void()> wake_handler;
  std::u16string exe_path;
  char16_t separator = u'/';
  uint32_t tick_count = 0;
  ShellListener* listener = nullptr;

  // What the user does in the modal dialogs while they are shown.
  std::function<bool(FakeSetupDialogView&)> setup_dialog_user;
  int setup_dialogs_created = 0;
  std::function<void(FakePortTestView&)> port_test_user;
  FakePortTestView* port_test_view = nullptr;  // the last one created
  FakeDestinationsView::User destinations_user;
  int destinations_dialogs_created = 0;
};

}  // namespace orvanta

#endif  // ORVANTA_SENDER_TEST_FAKE_VIEWS_H_
