#include "callerid/device_control.h"

#include <windows.h>
#include <olectl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/system_error.h"
#include "base/text.h"
#include "base/user_notice.h"
#include "callerid/test/standin_registration_win.h"

namespace orvanta {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RecordingNotice : public UserNotice {
 public:
  void ShowInfo(const std::u16string& text) override { infos.push_back(text); }
  void ReportError(const std::u16string& message) override {
    errors.push_back(message);
  }
  std::vector<std::u16string> infos;
  std::vector<std::u16string> errors;
};

std::u16string Wide(const std::wstring& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()),
                        text.size());
}

class DeviceControlTest : public ::testing::Test {
 protected:
  void SetUp() override { standin_.Reset(); }
  void TearDown() override { standin_.Reset(); }

  std::string FailureOf(const std::function<void()>& call) {
    try {
      call();
    } catch (const Failure& failure) {
      return Utf16ToUtf8(failure.message());
    }
    return "(no failure)";
  }

  StandinServer& standin_ = StandinServer::Get();
  RecordingNotice notice_;
  std::unique_ptr<DeviceControlFactory> factory_ =
      MakeDeviceControlFactory(notice_);
};

TEST_F(DeviceControlTest,
       Cid2IsInitialisedOnFirstUseAndDeliversItsCallerIdEvent) {
  std::vector<std::string> calls;
  auto control = factory_->CreateCid2();
  EXPECT_THAT(standin_.Journal(), ElementsAre("CID2 created"));

  control->SetOnCallerId([&](const std::u16string& line,
                             const std::u16string& number,
                             const std::u16string& date_time) {
    calls.push_back(Utf16ToUtf8(line) + "|" + Utf16ToUtf8(number) + "|" +
                    Utf16ToUtf8(date_time));
  });
  control->Hide();
  control->Start();
  EXPECT_THAT(standin_.Journal(), ElementsAre("CID2 created", "CID2 InitNew",
                                              "CID2 Advise", "CID2 Start()"));

  EXPECT_EQ(
      standin_.Fire(L"CID2", 202,
                    {L"1", L"0532 123 45 67", L"12.03.2026 10:15"}, false),
      S_OK);
  EXPECT_EQ(standin_.Fire(L"CID2", 202, {L"Hat ğ", L"", L"Çarşamba"}, false),
            S_OK);
  EXPECT_THAT(calls, ElementsAre("1|0532 123 45 67|12.03.2026 10:15",
                                 "Hat ğ||Çarşamba"));

  // Closed without saving, events disconnected, site taken away, released.
  control.reset();
  const std::vector<std::string> journal = standin_.Journal();
  ASSERT_GE(journal.size(), 4u);
  EXPECT_THAT(std::vector(journal.end() - 4, journal.end()),
              ElementsAre("CID2 Close(no save)", "CID2 Unadvise",
                          "CID2 SetClientSite(none)", "CID2 destroyed"));
}

TEST_F(DeviceControlTest, OtherEventsReachNoHandler) {
  int calls = 0;
  auto control = factory_->CreateCid2();
  control->SetOnCallerId([&](auto&, auto&, auto&) { ++calls; });
  control->Start();
  const std::vector<std::wstring> arguments = {L"1", L"555", L"now"};
  for (DISPID id : {-600, -601, -605, -607, 201, 203, 0}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(standin_.Fire(L"CID2", id, arguments, false), S_OK);
  }
  EXPECT_EQ(calls, 0);
  // A control whose handler was never set ignores its caller-ID event too.
  auto silent = factory_->CreateArg();
  silent->Connect();
  EXPECT_EQ(
      standin_.Fire(L"ARG", 211, std::vector<std::wstring>(11, L"x"), true),
      S_OK);
}

TEST_F(DeviceControlTest, ArgPropertiesArriveInOrderAsSignedBytesAndText) {
  auto control = factory_->CreateArg();
  control->SetOnCallerId([](auto&, auto&) {});
  control->Hide();
  control->SetComport(3);
  control->SetCihazTip(4);
  control->SetAnaBilgisayar(u" 192.168.1.5 şube");
  control->SetCihazTip(0x1FF);
  control->SetComport(200);
  control->SetComport(0x104);
  control->Connect();
  control->Disconnect();
  EXPECT_THAT(
      standin_.Journal(),
      ElementsAre("ARG created", "ARG InitNew", "ARG Advise",
                  "ARG Comport=I4:3", "ARG CihazTip=I4:4",
                  "ARG AnaBilgisayar=BSTR: 192.168.1.5 şube",
                  "ARG CihazTip=I4:-1", "ARG Comport=I4:-56",
                  "ARG Comport=I4:4", "ARG Connect()", "ARG Disconnect()"));
}

TEST_F(DeviceControlTest, ArgEventGivesCallingLineAndChanNo) {
  std::vector<std::string> calls;
  auto control = factory_->CreateArg();
  control->SetOnCallerId(
      [&](const std::u16string& calling_line, const std::u16string& chan_no) {
        calls.push_back(Utf16ToUtf8(calling_line) + "|" + Utf16ToUtf8(chan_no));
      });
  control->SetCihazTip(1);
  control->Connect();
  const std::vector<std::wstring> arguments = {
      L"10:15",         L"0212 555 66 77", L"r", L"reason", L"r2", L"q",
      L"Çağlar Öztürk", L"reason2",        L"w", L"dev 1",  L"3"};
  // By reference as the control declares them; by value is taken as well.
  EXPECT_EQ(standin_.Fire(L"ARG", 211, arguments, true), S_OK);
  EXPECT_EQ(standin_.Fire(L"ARG", 211, arguments, false), S_OK);
  std::vector<std::wstring> turkish = arguments;
  turkish[1] = L"İç hat ışık";
  turkish[10] = L"Kanal ü";
  EXPECT_EQ(standin_.Fire(L"ARG", 211, turkish, true), S_OK);
  EXPECT_THAT(calls, ElementsAre("0212 555 66 77|3", "0212 555 66 77|3",
                                 "İç hat ışık|Kanal ü"));
  // Nothing is written back through the references.
  for (const std::string& entry : standin_.Journal()) {
    EXPECT_EQ(entry.find("written"), std::string::npos) << entry;
  }
}

TEST_F(DeviceControlTest, UnusedArgControlIsReleasedWithoutBeingInitialised) {
  auto control = factory_->CreateArg();
  control->SetOnCallerId([](auto&, auto&) {});
  control->Hide();
  control.reset();
  EXPECT_THAT(standin_.Journal(),
              ElementsAre("ARG created", "ARG Close(no save)",
                          "ARG SetClientSite(none)", "ARG destroyed"));
}

TEST_F(DeviceControlTest, RejectedCallsCarryTheControlsOwnDescription) {
  struct Case {
    const wchar_t* member;
    int mode;
    HRESULT code;
    const wchar_t* description;
    std::string expected;
  };
  const Case cases[] = {
      {L"Start", kStandinExcepInfo, E_FAIL, L"Aygıt bulunamadı.\r\n ",
       "Aygıt bulunamadı"},
      {L"Connect", kStandinDeferred, E_FAIL, L"Bağlantı kurulamadı...",
       "Bağlantı kurulamadı"},
      {L"CihazTip", kStandinExcepInfo, static_cast<HRESULT>(0x80047777), L"",
       "OLE error 80047777"},
      {L"Disconnect", kStandinPlain, static_cast<HRESULT>(0x8004ABCD), L"",
       "OLE error 8004ABCD"},
      {L"AnaBilgisayar", kStandinDeferred, static_cast<HRESULT>(0x80047001),
       L" . ", "OLE error 80047001"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(Wide(c.member)));
    standin_.Reset();
    standin_.Fail(c.member, c.mode, c.code, c.description);
    auto cid2 = factory_->CreateCid2();
    auto arg = factory_->CreateArg();
    std::function<void()> call;
    const std::wstring member = c.member;
    if (member == L"Start") call = [&] { cid2->Start(); };
    if (member == L"Connect") call = [&] { arg->Connect(); };
    if (member == L"Disconnect") call = [&] { arg->Disconnect(); };
    if (member == L"CihazTip") call = [&] { arg->SetCihazTip(2); };
    if (member == L"AnaBilgisayar") call = [&] { arg->SetAnaBilgisayar(u"h"); };
    EXPECT_EQ(FailureOf(call), c.expected);
  }
}

TEST_F(DeviceControlTest, FailureWithoutDescriptionUsesTheSystemText) {
  // Codes the system knows: the control's scode, or the returned code.
  for (int mode : {kStandinExcepInfo, kStandinPlain}) {
    SCOPED_TRACE(mode);
    standin_.Reset();
    standin_.Fail(L"Comport", mode, E_OUTOFMEMORY, L"");
    auto arg = factory_->CreateArg();
    const std::string text = FailureOf([&] { arg->SetComport(1); });
    EXPECT_EQ(text, Utf16ToUtf8(SystemErrorText(E_OUTOFMEMORY)));
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find("OLE error"), std::string::npos);
  }
}

TEST_F(DeviceControlTest, UnregisteredControlsCannotBeCreated) {
  standin_.Unregister();
  EXPECT_EQ(FailureOf([&] { factory_->CreateCid2(); }), "OLE error 80040154");
  EXPECT_EQ(FailureOf([&] { factory_->CreateArg(); }), "OLE error 80040154");
  standin_.Register();
  EXPECT_NE(factory_->CreateCid2(), nullptr);
}

TEST_F(DeviceControlTest, FailureInsideTheHandlerGoesToTheErrorReport) {
  int calls = 0;
  auto control = factory_->CreateCid2();
  control->SetOnCallerId([&](auto&, const std::u16string& number, auto&) {
    ++calls;
    if (number == u"bad")
      throw Failure(u"Socket Error # 10051\r\nNetwork is unreachable.");
  });
  control->Start();
  EXPECT_EQ(standin_.Fire(L"CID2", 202, {L"1", L"bad", L""}, false), S_OK);
  EXPECT_EQ(standin_.Fire(L"CID2", 202, {L"1", L"555", L""}, false), S_OK);
  EXPECT_EQ(calls, 2);
  EXPECT_THAT(notice_.errors,
              ElementsAre(u"Socket Error # 10051\r\nNetwork is unreachable."));
}

TEST_F(DeviceControlTest, ControlWithoutEventsStillWorks) {
  standin_.SetOptions(kStandinNoEvents | kStandinNoPersist);
  auto control = factory_->CreateCid2();
  control->SetOnCallerId([](auto&, auto&, auto&) { FAIL(); });
  control->Start();
  EXPECT_EQ(standin_.Fire(L"CID2", 202, {L"1", L"2", L"3"}, false),
            CONNECT_E_NOCONNECTION);
  control.reset();
  EXPECT_THAT(standin_.Journal(),
              ElementsAre("CID2 created", "CID2 Start()", "CID2 Close(no save)",
                          "CID2 SetClientSite(none)", "CID2 destroyed"));
}

TEST_F(DeviceControlTest, FailedInitialisationIsRaisedAndUndone) {
  struct Case {
    int options;
    HRESULT code;
    const char* without_system_text;
  };
  for (const Case& c :
       {Case{kStandinNoDefaultInterface, E_NOINTERFACE, "OLE error 80004002"},
        Case{kStandinFailInitNew, E_UNEXPECTED, "OLE error 8000FFFF"}}) {
    SCOPED_TRACE(c.options);
    standin_.Reset();
    standin_.SetOptions(c.options);
    auto control = factory_->CreateArg();
    const std::string text = FailureOf([&] { control->Connect(); });
    // Windows has texts for these codes; Wine has none.
    const std::u16string system =
        SystemErrorText(static_cast<uint32_t>(c.code));
    EXPECT_EQ(text,
              system.empty() ? c.without_system_text : Utf16ToUtf8(system));
    control.reset();
    for (const std::string& entry : standin_.Journal()) {
      EXPECT_EQ(entry.find("Advise"), std::string::npos) << entry;
      EXPECT_EQ(entry.find("Connect()"), std::string::npos) << entry;
      EXPECT_EQ(entry.find("advised"), std::string::npos) << entry;
    }
  }
}

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  orvanta::InitialiseOleForTests();
  return RUN_ALL_TESTS();
}
