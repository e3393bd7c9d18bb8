// OrvantaAlici.exe: shows each call Orvanta announces on the LAN.
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "base/failure.h"
#include "desktop/command_line.h"
#include "desktop/single_instance.h"
#include "desktop/win/command_line_win.h"
#include "desktop/win/win_text.h"
#include "receiver/receiver_help.h"
#include "receiver/win/win_receiver_shell.h"

namespace {

constexpr char16_t kCaption[] = u"OrvantaAlici";

int RunReceiver(const orvanta::CommandLine& command,
                const std::u16string& program) {
  // The receiver keeps its files beside itself, as the sender does, unless
  // it is given a folder.
  const std::u16string folder =
      orvanta::win::SettingsFolderFor(command.settings_dir);
  orvanta::SingleInstance::Outcome outcome;
  std::unique_ptr<orvanta::SingleInstance> claim =
      orvanta::SingleInstance::Claim(
          orvanta::InstanceKey(folder, orvanta::PathStyle::kWindows,
                               "orvanta-alici"),
          outcome);
  if (!claim) {
    if (outcome == orvanta::SingleInstance::Outcome::kShownInRunning) {
      return orvanta::kExitSuccess;
    }
    orvanta::win::AnswerCommandLine(
        program + u": already running for the settings folder " + folder +
            u", but it does not answer\n",
        true, kCaption);
    return orvanta::kExitFailure;
  }
  // A folder that cannot be made is reported by the first file written.
  std::error_code ignored;
  std::filesystem::create_directories(
      std::filesystem::path(orvanta::win::Wide(folder)), ignored);

  try {
    orvanta::win::WinReceiverProgram receiver(folder);
    receiver.Start();
    claim->OnShowRequest([&receiver] {
      receiver.shell().ShowHistoryWindow();
      return receiver.shell().presenter().IsShown();
    });
    if (command.show_window) receiver.shell().ShowHistoryWindow();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    claim->OnShowRequest(nullptr);
    return static_cast<int>(message.wParam);
  } catch (const orvanta::Failure& failure) {
    const std::u16string text =
        u"Orvanta Al\u0131c\u0131 ba\u015flat\u0131lamad\u0131.\r\n" +
        failure.message();
    MessageBoxW(nullptr, orvanta::win::Wide(text).c_str(),
                orvanta::win::Wide(kCaption).c_str(), MB_ICONERROR | MB_OK);
    return orvanta::kExitFailure;
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::u16string program;
  const orvanta::CommandLine command =
      orvanta::ParseCommandLine(orvanta::win::CommandLineArguments(&program));
  if (const auto answer =
          orvanta::AnswerFor(command, program, orvanta::kReceiverHelp,
                             orvanta::ReceiverCaption())) {
    orvanta::win::AnswerCommandLine(answer->text, answer->error, kCaption);
    return answer->exit_code;
  }
  return RunReceiver(command, program);
}
