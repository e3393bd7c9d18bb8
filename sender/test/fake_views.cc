#include "sender/test/fake_views.h"

#include <filesystem>

#include "base/text.h"

namespace orvanta {

bool FakeSettingsView::Shown(SettingsShown control) const {
  auto flag = [this](SettingsShown c) {
    auto it = visible.find(c);
    return it != visible.end() && it->second;
  };
  switch (control) {
    case SettingsShown::kCallerIdPanel:
      return flag(control);
    case SettingsShown::kArgPanel:
    case SettingsShown::kSerialPanel:
    case SettingsShown::kModemPanel:
      return flag(control) && Shown(SettingsShown::kCallerIdPanel);
    case SettingsShown::kArgChoiceLabel:
    case SettingsShown::kMainMachineIp:
    case SettingsShown::kArgComPort:
      return flag(control) && Shown(SettingsShown::kArgPanel);
  }
  return false;
}

void FakeSettingsView::TypeIntoPortEdit(const std::u16string& text) {
  for (char16_t key : text) {
    std::u16string next = EditText(SettingsEdit::kPortNumber) + key;
    if (PortTextAccepts(next)) edits[SettingsEdit::kPortNumber] = next;
  }
}

MessageAnswer FakeShell::ShowMessage(const std::u16string& text,
                                     const std::u16string& title,
                                     MessageIcon icon, MessageButtons buttons) {
  messages.push_back({text, title, icon, buttons});
  const char* kind = icon == MessageIcon::kError      ? "error: "
                     : icon == MessageIcon::kQuestion ? "question: "
                                                      : "info: ";
  journal.push_back(kind + Utf16ToUtf8(text));
  if (buttons == MessageButtons::kOk) return MessageAnswer::kOk;
  if (answers.empty()) return MessageAnswer::kYes;
  MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

void FakeShell::ShowBalloon(const std::u16string& title,
                            const std::u16string& text, uint32_t timeout_ms) {
  journal.push_back("balloon: " + Utf16ToUtf8(title) + "|" + Utf16ToUtf8(text) +
                    "|" + std::to_string(timeout_ms));
}

std::unique_ptr<SetupDialogView> FakeShell::CreateSetupDialogView() {
  ++setup_dialogs_created;
  return std::make_unique<FakeSetupDialogView>(setup_dialog_user);
}

std::unique_ptr<PortTestView> FakeShell::CreatePortTestView(
    PortTestViewListener& listener) {
  auto view = std::make_unique<FakePortTestView>(listener, port_test_user);
  port_test_view = view.get();
  FakePortTestView::destroyed = false;
  return view;
}

void FakeShell::CreateSettingsFolder() {
  ++settings_folder_creations;
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(SettingsFolder()),
                                      ignored);
}

void FakeShell::DeliverAutoStart() {
  while (posted_auto_starts > 0) {
    --posted_auto_starts;
    listener->OnAutoStart();
  }
}

std::vector<FakeShell::Message> FakeShell::InfoBoxes() const {
  std::vector<Message> result;
  for (const Message& m : messages) {
    if (m.icon == MessageIcon::kInformation) result.push_back(m);
  }
  return result;
}

}  // namespace orvanta
