#include "callerid/modem_initialisation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "callerid/modem_report.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;

// What a step asks for: ">AT+VCID=1 2000ms", "log ...", "finished".
void Describe(const ModemInitStep& step, std::vector<std::string>& out) {
  if (!step.send.empty()) {
    EXPECT_EQ(step.send.back(), '\r');
    out.push_back(">" + step.send.substr(0, step.send.size() - 1) + " " +
                  std::to_string(step.wait.count()) + "ms");
  }
  if (!step.log.empty()) out.push_back("log " + Utf16ToUtf8(step.log));
  if (step.finished) out.push_back("finished");
}

// Starts the dialogue and answers with `answers` in turn: a modem line
// ("OK", "0", "ATZ", "RING") or "timeout". The transcript has each answer
// as "<answer" followed by what the dialogue did.
std::vector<std::string> Dialogue(ModemInitialisation& init,
                                  const std::vector<std::string>& answers) {
  std::vector<std::string> transcript;
  Describe(init.Start(), transcript);
  for (const std::string& answer : answers) {
    transcript.push_back("<" + answer);
    Describe(
        answer == "timeout" ? init.Timeout() : init.Take(ReadModemLine(answer)),
        transcript);
  }
  return transcript;
}

std::vector<std::string> Dialogue(const std::u16string& user_commands,
                                  const std::vector<std::string>& answers) {
  ModemInitialisation init(user_commands);
  return Dialogue(init, answers);
}

const std::string kReady = "log Modem hazır (";
const std::string kRefused = "Modem başlatma komutunu kabul etmedi: ";
const std::string kListening = "Port dinlenmeye devam ediyor.";

TEST(ModemInitialisation, EachEnableCommandCanBeTheOneThatWorks) {
  const char* const commands[] = {"AT+VCID=1", "AT#CID=1", "AT%CCID=1",
                                  "AT+CID=1"};
  for (size_t works = 0; works < 4; ++works) {
    std::vector<std::string> answers = {"OK"};
    std::vector<std::string> expected = {">ATZ 3000ms", "<OK"};
    for (size_t i = 0; i <= works; ++i) {
      expected.push_back(">" + std::string(commands[i]) + " 2000ms");
      answers.push_back(i == works ? "OK" : "ERROR");
      expected.push_back("<" + answers.back());
    }
    expected.push_back(kReady + commands[works] + ")");
    expected.push_back("finished");
    ModemInitialisation init;
    EXPECT_EQ(Dialogue(init, answers), expected) << commands[works];
    EXPECT_EQ(init.Enabled(), commands[works]);
    EXPECT_FALSE(init.Running());
  }
}

struct DialogueCase {
  const char* name;
  std::u16string user_commands;
  std::vector<std::string> answers;
  std::vector<std::string> transcript;
};

TEST(ModemInitialisation, Dialogues) {
  const DialogueCase cases[] = {
      {"echo, and a RING in between, change nothing",
       u"",
       {"ATZ", "OK", "AT+VCID=1", "RING", "NMBR = 1", "OK"},
       {">ATZ 3000ms", "<ATZ", "<OK", ">AT+VCID=1 2000ms", "<AT+VCID=1",
        "<RING", "<NMBR = 1", "<OK", kReady + "AT+VCID=1)", "finished"}},
      {"numeric results",
       u"",
       {"0", "4", "0"},
       {">ATZ 3000ms", "<0", ">AT+VCID=1 2000ms", "<4", ">AT#CID=1 2000ms",
        "<0", kReady + "AT#CID=1)", "finished"}},
      {"a reset and commands that stay unanswered are passed over",
       u"",
       {"timeout", "timeout", "timeout", "OK"},
       {">ATZ 3000ms", "<timeout", ">AT+VCID=1 2000ms", "<timeout",
        ">AT#CID=1 2000ms", "<timeout", ">AT%CCID=1 2000ms", "<OK",
        kReady + "AT%CCID=1)", "finished"}},
      {"none of the commands is taken",
       u"",
       {"OK", "ERROR", "ERROR", "timeout", "ERROR"},
       {">ATZ 3000ms", "<OK", ">AT+VCID=1 2000ms", "<ERROR", ">AT#CID=1 2000ms",
        "<ERROR", ">AT%CCID=1 2000ms", "<timeout", ">AT+CID=1 2000ms", "<ERROR",
        "log " + Utf16ToUtf8(kModemCallerIdRefusedMessage), "finished"}},
      {"nothing answers at all",
       u"",
       {"timeout", "timeout", "timeout", "timeout", "timeout"},
       {">ATZ 3000ms", "<timeout", ">AT+VCID=1 2000ms", "<timeout",
        ">AT#CID=1 2000ms", "<timeout", ">AT%CCID=1 2000ms", "<timeout",
        ">AT+CID=1 2000ms", "<timeout",
        "log " + Utf16ToUtf8(kModemNoAnswerMessage), "finished"}},
      {"the user's commands instead of the enable commands",
       u" AT+GCI=AE ; +VCID=1 ",
       {"OK", "OK", "OK"},
       {">ATZ 3000ms", "<OK", ">AT+GCI=AE 2000ms", "<OK", ">AT+VCID=1 2000ms",
        "<OK", kReady + "AT+GCI=AE;AT+VCID=1)", "finished"}},
      {"each user command is sent whatever the one before answered",
       u"AT+GCI=AE;AT+VCID=1",
       {"OK", "ERROR", "OK"},
       {">ATZ 3000ms", "<OK", ">AT+GCI=AE 2000ms", "<ERROR",
        ">AT+VCID=1 2000ms", "<OK",
        "log " + kRefused + "AT+GCI=AE (ERROR). " + kListening, "finished"}},
      {"an unanswered user command",
       u"AT+VCID=1;AT+GCI=AE",
       {"OK", "OK", "timeout"},
       {">ATZ 3000ms", "<OK", ">AT+VCID=1 2000ms", "<OK", ">AT+GCI=AE 2000ms",
        "<timeout", "log " + kRefused + "AT+GCI=AE (yanıt yok). " + kListening,
        "finished"}},
      {"a string of blanks and separators is no string",
       u" ; ;",
       {"OK", "OK"},
       {">ATZ 3000ms", "<OK", ">AT+VCID=1 2000ms", "<OK", kReady + "AT+VCID=1)",
        "finished"}},
      {"answers after the end change nothing",
       u"",
       {"OK", "OK", "ERROR", "timeout"},
       {">ATZ 3000ms", "<OK", ">AT+VCID=1 2000ms", "<OK", kReady + "AT+VCID=1)",
        "finished", "<ERROR", "<timeout"}},
  };
  for (const DialogueCase& c : cases) {
    EXPECT_EQ(Dialogue(c.user_commands, c.answers), c.transcript) << c.name;
  }
}

// At every open, and when calls come without caller ID: the same dialogue
// again from the reset, the last outcome forgotten.
TEST(ModemInitialisation, StartsAgainFromTheReset) {
  ModemInitialisation init;
  Dialogue(init, {"OK", "ERROR", "OK"});
  EXPECT_EQ(init.Enabled(), "AT#CID=1");
  std::vector<std::string> again;
  Describe(init.Start(), again);
  EXPECT_THAT(again, ElementsAre(">ATZ 3000ms"));
  EXPECT_TRUE(init.Running());
  EXPECT_EQ(init.Enabled(), "");
  EXPECT_EQ(Dialogue(init, {"OK", "OK"}).back(), "finished");
  EXPECT_EQ(init.Enabled(), "AT+VCID=1");
}

TEST(SplitModemCommands, Cases) {
  const struct {
    std::u16string text;
    std::vector<std::string> commands;
  } cases[] = {
      {u"", {}},
      {u"AT+VCID=1", {"AT+VCID=1"}},
      {u" at#cid=1 ; ;\tATE0\t", {"at#cid=1", "ATE0"}},
      {u"AT+GCI=AE;+VCID=1", {"AT+GCI=AE", "AT+VCID=1"}},
      {u"Z;", {"ATZ"}},
      {u";;", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitModemCommands(c.text), c.commands) << Utf16ToUtf8(c.text);
  }
}

}  // namespace
}  // namespace orvanta
