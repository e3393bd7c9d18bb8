#ifndef ORVANTA_RECEIVER_TEST_FAKE_SHELL_H_
#define ORVANTA_RECEIVER_TEST_FAKE_SHELL_H_

#include <string>
#include <vector>

#include "receiver/call_hook.h"
#include "receiver/receiver_app.h"

namespace orvanta {

// Holds what the receiver showed, as a screen would.
class FakeReceiverShell : public ReceiverShell {
 public:
  struct Notification {
    std::u16string title;
    std::u16string text;
  };
  void ShowNotification(const std::u16string& title,
                        const std::u16string& text) override {
    notifications.push_back({title, text});
  }
  void ShowHistoryWindow() override { ++history_shown; }
  void HistoryChanged() override { ++history_changes; }
  void ReportProblem(const std::u16string& text) override {
    problems.push_back(text);
  }

  std::vector<Notification> notifications;
  int history_shown = 0;
  int history_changes = 0;
  std::vector<std::u16string> problems;
};

class FakeHookLauncher : public HookLauncher {
 public:
  void Start(const std::vector<std::u16string>& arguments) override {
    commands.push_back(arguments);
  }
  void OpenUrl(const std::u16string& url) override { urls.push_back(url); }

  std::vector<std::vector<std::u16string>> commands;
  std::vector<std::u16string> urls;
};

}  // namespace orvanta

#endif  // ORVANTA_RECEIVER_TEST_FAKE_SHELL_H_
