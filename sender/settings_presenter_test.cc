#include "sender/settings_presenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "sender/settings_form.h"
#include "sender/test/fake_views.h"
#include "base/failure.h"
#include "base/text.h"
#include "base/ui_handover.h"
#include "callerid/engine.h"
#include "callerid/test/fake_device_controls.h"
#include "notify/udp_channel.h"
#include "serial/serial_port.h"
#include "settings/storage.h"
#include "serial/test/fake_serial_device.h"
#include "base/test/temp_folder.h"

namespace orvanta {
namespace {

namespace fs = std::filesystem;
using Shown = SettingsShown;

// Ends in ")", below ".": the report adds no full stop.
constexpr char16_t kBooleanFailure[] =
    u"Could not convert variant of type (UnicodeString) into type (Boolean)";
const std::string kBalloon =
    "balloon: VELMORIS |VELMORIS Orvanta çalışıyor...|5000";

TEST(CaptionTest, ComposesCompanyProductVersionAndBuild) {
  EXPECT_EQ(ComposeCaption({}), u"VELMORIS Orvanta s1.02.05f");
  ProgramConstants beta;
  beta.VersionText = u"s1.02.05b07";  // 11 characters
  EXPECT_EQ(BetaSuffix(beta.VersionText), u" (Beta-07)");
  EXPECT_EQ(ComposeCaption(beta), u"VELMORIS Orvanta s1.02.05f (Beta-07)");
  ProgramConstants long_version;
  long_version.VersionText = u"s1.02.05.107";  // 12: no suffix, cut to 8
  EXPECT_EQ(ComposeCaption(long_version), u"VELMORIS Orvanta s1.02.05f");
  ProgramConstants short_version;
  short_version.VersionText = u"v2";
  EXPECT_EQ(ComposeCaption(short_version), u"VELMORIS Orvanta v2f");
}

TEST(ApplicationTitleTest, FileNameUpToTheFirstDotCapitalised) {
  EXPECT_EQ(ApplicationTitle(u"C:\\Program Files\\Orvanta.exe", u'\\'),
            u"Orvanta");
  EXPECT_EQ(ApplicationTitle(u"C:\\x.y\\ORVANTA.EXE", u'\\'), u"Orvanta");
  EXPECT_EQ(ApplicationTitle(u"/opt/velmoris/orvanta", u'/'), u"Orvanta");
  EXPECT_EQ(ApplicationTitle(u"/opt/orvanta.tar.gz", u'/'), u"Orvanta");
  EXPECT_EQ(ApplicationTitle(u"C:\\ŞEKER.exe", u'\\'), u"Şeker");
  EXPECT_EQ(ApplicationTitle(u"/opt/şeker", u'/'), u"Şeker");
  EXPECT_EQ(DirectoryOf(u"C:\\x.y\\ORVANTA.EXE", u'\\'), u"C:\\x.y\\");
  EXPECT_EQ(DirectoryOf(u"/opt/orvanta", u'/'), u"/opt/");
}

TEST(ClickGuardTest, DropsClicksWithin500MillisecondsAcrossTheWrap) {
  ClickGuard guard;
  EXPECT_FALSE(guard.Accept(499));  // the last accepted click counts as 0
  EXPECT_TRUE(guard.Accept(500));
  EXPECT_FALSE(guard.Accept(999));
  EXPECT_TRUE(guard.Accept(1000));
  EXPECT_TRUE(guard.Accept(0xFFFFFF00u));
  EXPECT_FALSE(guard.Accept(0x000000F3u));  // 499 ms later, across the wrap
  EXPECT_TRUE(guard.Accept(0x000000F4u));
  EXPECT_EQ(guard.LatestClickTime(), 0x000000F4u);
  // A tick count below the last accepted one is far in the future.
  EXPECT_TRUE(guard.Accept(0x000000F0u));
}

// The presenter owns the factory it is given; this one hands out the
// fixture's fake controls, which outlive each presenter.
class ForwardingDevices : public DeviceControlFactory {
 public:
  explicit ForwardingDevices(DeviceControlFactory& devices)
      : devices_(devices) {}
  std::unique_ptr<Cid2Control> CreateCid2() override {
    return devices_.CreateCid2();
  }
  std::unique_ptr<ArgControl> CreateArg() override {
    return devices_.CreateArg();
  }

 private:
  DeviceControlFactory& devices_;
};

class SettingsPresenterTest : public testing::Test {
 protected:
  SettingsPresenterTest() {
    shell_.separator = static_cast<char16_t>(fs::path::preferred_separator);
    shell_.exe_path = (dir_ / "Orvanta.exe").u16string();
    shell_.tick_count = 100000;
  }
  ~SettingsPresenterTest() override {
    main_.reset();
    program_.reset();
  }

  // Setting.ini with these lines in its section.
  void WriteSettings(const std::string& lines) {
    std::ofstream(dir_ / "Setting.ini", std::ios::binary) << "[VmStored]\r\n"
                                                          << lines;
  }
  std::string FileText(const char* name) {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  SettingsPresenter& Create() {
    ProgramOptions parts;
    parts.devices = [this](UserNotice&) {
      return std::make_unique<ForwardingDevices>(devices_);
    };
    parts.serial_device = [this] {
      return std::make_unique<FakeSerialDevice>(serial_hardware_);
    };
    program_ = std::make_unique<Program>(shell_, std::move(parts));
    SettingsPresenterOptions options;
    options.port_lister = [this] {
      if (!port_list_failure_.empty()) {
        throw SerialPortSystemError(port_list_failure_,
                                    SerialFailure::kPortRegistry, 2);
      }
      return port_names_;
    };
    options.show_window_at_start = show_window_at_start_;
    main_ = std::make_unique<SettingsPresenter>(view_, shell_, *program_,
                                                std::move(options));
    return *main_;
  }
  // The program's start: creation, then the message loop reaching the
  // posted start-up message.
  SettingsPresenter& Start() {
    Create().StartUp();
    shell_.DeliverAutoStart();
    return *main_;
  }

  std::vector<std::string> Errors() const {
    std::vector<std::string> errors;
    for (const std::string& entry : shell_.journal) {
      if (entry.rfind("error: ", 0) == 0) errors.push_back(entry);
    }
    return errors;
  }
  // Start-up with a stored value LoadSettingsToForm cannot read.
  void ExpectOneBooleanErrorAndNoStart() {
    Create().StartUp();
    shell_.DeliverAutoStart();
    ASSERT_EQ(shell_.messages.size(), 1u);
    EXPECT_EQ(shell_.messages[0].text, kBooleanFailure);
    EXPECT_EQ(shell_.messages[0].title, u"Orvanta");
    EXPECT_EQ(shell_.messages[0].icon, MessageIcon::kError);
    EXPECT_EQ(shell_.messages[0].buttons, MessageButtons::kOk);
    EXPECT_FALSE(BalloonShown());
    EXPECT_TRUE(device_calls_.empty());
    EXPECT_FALSE(program_->Channel().Active());
    EXPECT_TRUE(main_->AutoStartPending());
  }
  int DeviceCalls(const std::string& entry) const {
    return static_cast<int>(
        std::count(device_calls_.begin(), device_calls_.end(), entry));
  }
  bool BalloonShown() const {
    return std::count(shell_.journal.begin(), shell_.journal.end(), kBalloon) >
           0;
  }

  TempFolder folder_;
  const fs::path& dir_ = folder_.path();
  FakeSettingsView view_;
  FakeShell shell_;
  std::vector<std::string> device_calls_;
  FakeDeviceControlFactory devices_{device_calls_};
  std::shared_ptr<FakeSerialHardware> serial_hardware_ =
      std::make_shared<FakeSerialHardware>();
  std::vector<std::u16string> port_names_ = {u"COM1", u"COM3"};
  std::u16string port_list_failure_;
  bool show_window_at_start_ = false;
  std::unique_ptr<Program> program_;
  std::unique_ptr<SettingsPresenter> main_;
};

TEST_F(SettingsPresenterTest, StartsHiddenInTheTrayAndAnnouncesItselfOnce) {
  SettingsPresenter& main = Create();
  main.StartUp();
  EXPECT_EQ(view_.caption, u"VELMORIS Orvanta s1.02.05f");
  EXPECT_EQ(shell_.tray_tip, u"VELMORIS Orvanta s1.02.05f");
  EXPECT_FALSE(main.ShowOnStart());
  EXPECT_FALSE(view_.window_visible);
  EXPECT_EQ(shell_.posted_auto_starts, 1);
  EXPECT_TRUE(main.AutoStartPending());
  EXPECT_EQ(program_->Store().FileName(), (dir_ / "Setting.ini").u16string());

  shell_.DeliverAutoStart();
  EXPECT_FALSE(main.AutoStartPending());
  // Caller-ID is off by default: nothing starts, the balloon still shows.
  EXPECT_EQ(shell_.journal, std::vector<std::string>{kBalloon});
  EXPECT_FALSE(program_->Channel().Active());
  EXPECT_FALSE(view_.window_visible);
}

TEST_F(SettingsPresenterTest, WithoutASettingsFileTickingShowsTheDefaults) {
  Start();
  for (Shown c :
       {Shown::kCallerIdPanel, Shown::kArgPanel, Shown::kSerialPanel,
        Shown::kArgChoiceLabel, Shown::kMainMachineIp, Shown::kArgComPort}) {
    EXPECT_FALSE(view_.Shown(c));
  }
  view_.ClickCheckBox();
  EXPECT_TRUE(view_.Shown(Shown::kCallerIdPanel));
  EXPECT_EQ(view_.EditText(SettingsEdit::kPortNumber), u"18900");
  EXPECT_EQ(view_.source_index, 0);
  EXPECT_FALSE(view_.Shown(Shown::kArgPanel));
  EXPECT_FALSE(view_.Shown(Shown::kSerialPanel));

  view_.ChooseRadio(1);
  EXPECT_TRUE(view_.Shown(Shown::kArgPanel));
  EXPECT_EQ(view_.ComboIndex(SettingsCombo::kArgDeviceKind),
            1);  // "(1) CALLER ID"
  EXPECT_FALSE(view_.Shown(Shown::kArgChoiceLabel));
  EXPECT_FALSE(view_.Shown(Shown::kMainMachineIp));
  EXPECT_FALSE(view_.Shown(Shown::kArgComPort));

  view_.ChooseRadio(2);
  EXPECT_FALSE(view_.Shown(Shown::kArgPanel));
  EXPECT_TRUE(view_.Shown(Shown::kSerialPanel));
  EXPECT_EQ(view_.EditText(SettingsEdit::kStartText), u"S");
  EXPECT_EQ(view_.EditText(SettingsEdit::kEndText), u"E");
  EXPECT_EQ(view_.SpinValue(SettingsSpin::kNumberStart), 3);
  EXPECT_EQ(view_.SpinValue(SettingsSpin::kNumberLength), 15);

  view_.ClickCheckBox();
  EXPECT_FALSE(view_.Shown(Shown::kCallerIdPanel));
  EXPECT_FALSE(view_.Shown(Shown::kSerialPanel));
}

TEST_F(SettingsPresenterTest, StoredDeviceKindFourShowsItsComPortAtStartUp) {
  WriteSettings("CALLERIDTYPE=1\r\nCIHAZSEC=4\r\nCOMPORT=1\r\n");
  Create().StartUp();
  view_.ClickCheckBox();
  EXPECT_TRUE(view_.Shown(Shown::kArgComPort));
  EXPECT_EQ(view_.arg_choice_label, u"ComPort Seçimi");
  EXPECT_EQ(std::u16string(settings_text::kArgComPortItems[view_.ComboIndex(
                SettingsCombo::kArgComPort)]),
            u"COM 2");
}

TEST_F(SettingsPresenterTest, AnUnreadableBooleanGivesOneErrorAndNoStart) {
  WriteSettings("CALLERIDKULLAN=yes\r\n");
  ExpectOneBooleanErrorAndNoStart();
}

TEST_F(SettingsPresenterTest, AnUnreadableTypeGivesOneErrorAndNoStart) {
  WriteSettings("CALLERIDKULLAN=True\r\nCALLERIDTYPE=abc\r\n");
  ExpectOneBooleanErrorAndNoStart();
}

TEST_F(SettingsPresenterTest, EveryStartUpMessageAppliesAndShowsTheBalloon) {
  WriteSettings("CALLERIDKULLAN=True\r\nCALLERIDTYPE=0\r\n");
  SettingsPresenter& main = Start();
  EXPECT_TRUE(program_->Channel().Active());
  EXPECT_EQ(DeviceCalls("CID2 Start"), 1);
  main.OnAutoStart();
  // Running, so the second apply restarts: the control is released and made
  // again.
  EXPECT_EQ(DeviceCalls("CID2 release"), 1);
  EXPECT_EQ(DeviceCalls("CID2 Start"), 2);
  EXPECT_EQ(shell_.journal, (std::vector<std::string>{kBalloon, kBalloon}));
}

TEST_F(SettingsPresenterTest, TheBalloonFollowsTheMessagesOfTheStartUpApply) {
  WriteSettings("CALLERIDKULLAN=True\r\nCALLERIDTYPE=0\r\n");
  devices_.Fail("CID2 create", u"Class not registered");
  Start();
  ASSERT_EQ(shell_.journal.size(), 3u);
  EXPECT_EQ(shell_.journal[0].rfind(
                "info: CID2(Sistemler) tipi baglanti acilamadi.", 0),
            0u);
  EXPECT_EQ(shell_.journal[1], "info: Caller ID sistemi baslatilamadi.");
  EXPECT_EQ(shell_.journal[2], kBalloon);
  EXPECT_EQ(shell_.messages[0].title, u"Bilgi");
}

TEST_F(SettingsPresenterTest, AFailingStartUpApplyShowsOneErrorAndNoBalloon) {
  WriteSettings("CALLERIDKULLAN=True\r\nCALLERIDTYPE=2\r\n");
  serial_hardware_->Fail(SerialFailure::kOpen, 2);
  SettingsPresenter& main = Start();
  EXPECT_EQ(Errors().size(), 1u);
  EXPECT_EQ(shell_.journal.size(), 1u);
  EXPECT_FALSE(BalloonShown());
  EXPECT_FALSE(main.AutoStartPending());
  EXPECT_TRUE(program_->Channel().Active());
}

TEST_F(SettingsPresenterTest, TheTrayShowsTheWindowAndBringsItToTheFront) {
  Start();
  EXPECT_FALSE(main_->ShowOnStart());
  main_->OnTrayDoubleClick();
  EXPECT_TRUE(view_.window_visible);
  EXPECT_TRUE(main_->ShowOnStart());
  main_->OnSettingsMenu();
  EXPECT_TRUE(view_.window_visible);
  EXPECT_EQ(view_.brought_to_front, 2);
}

// "Hedefler" opens the dialog over Hedefler.ini in the settings folder, from
// the window and from the tray; the program takes on what it saved.
TEST_F(SettingsPresenterTest,
       TheDestinationsDialogEditsTheFileTheProgramThenTakesOn) {
  Start();
  int taken_on = 0;
  program_->destinations_saved = [&] { ++taken_on; };
  shell_.destinations_user = [](FakeDestinationsView& dialog) {
    dialog.AddWebhook();
    dialog.Type(DestinationsView::Field::kWebhookUrl,
                u"https://ornek.example/arama");
    dialog.Save();
  };
  view_.listener->OnDestinations();
  EXPECT_EQ(taken_on, 1);
  EXPECT_NE(FileText("Hedefler.ini").find("URL=https://ornek.example/arama"),
            std::string::npos);

  std::vector<std::u16string> rows;
  shell_.destinations_user = [&](FakeDestinationsView& dialog) {
    rows = dialog.rows;
    dialog.Cancel();
  };
  shell_.listener->OnDestinationsMenu();
  EXPECT_EQ(shell_.destinations_dialogs_created, 2);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0], u"Webhook 1: POST https://ornek.example/arama");
  EXPECT_EQ(taken_on, 1);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(SettingsPresenterTest, GizleKeepsEditsUnsavedUntilUygula) {
  Start();
  main_->OnTrayDoubleClick();
  view_.ClickCheckBox();
  view_.edits[SettingsEdit::kPortNumber] = u"";
  view_.TypeIntoPortEdit(u"19000");
  view_.listener->OnHide();
  EXPECT_FALSE(view_.window_visible);
  EXPECT_FALSE(fs::exists(dir_ / "Setting.ini"));

  main_->OnTrayDoubleClick();
  EXPECT_EQ(view_.EditText(SettingsEdit::kPortNumber), u"19000");
  EXPECT_TRUE(view_.caller_id_enabled);
  view_.listener->OnApply();
  EXPECT_TRUE(view_.window_visible);
  const std::string file = FileText("Setting.ini");
  EXPECT_NE(file.find("CALLERIDKULLAN=True\r\n"), std::string::npos);
  EXPECT_NE(file.find("UDPPORT=19000\r\n"), std::string::npos);
  // Applied: caller-ID is on with the CID2 source.
  EXPECT_TRUE(program_->Channel().Active());
  EXPECT_EQ(program_->Channel().Port(), 19000);
  EXPECT_EQ(DeviceCalls("CID2 Start"), 1);
}

TEST_F(SettingsPresenterTest, UygulaWritesAndAppliesEvenWhenNothingChanged) {
  WriteSettings("CALLERIDKULLAN=True\r\n");
  Start();
  fs::remove(dir_ / "Setting.ini");
  view_.listener->OnApply();
  const std::string file = FileText("Setting.ini");
  EXPECT_EQ(file.rfind("\xEF\xBB\xBF[VmStored]\r\nCALLERIDKULLAN=True\r\n", 0),
            0u);
  EXPECT_NE(file.find("COMPORT=1\r\n"), std::string::npos);
  EXPECT_EQ(DeviceCalls("CID2 Start"), 2);
}

TEST_F(SettingsPresenterTest, KaydetSavesAppliesAndHides) {
  Start();
  main_->OnTrayDoubleClick();
  view_.ClickCheckBox();
  view_.ChooseRadio(1);
  view_.ChooseDeviceKind(4);
  view_.combos[SettingsCombo::kArgComPort] = 2;
  view_.listener->OnSave();
  EXPECT_FALSE(view_.window_visible);
  EXPECT_TRUE(Errors().empty());
  EXPECT_NE(
      FileText("Setting.ini").find("CALLERIDTYPE=1\r\nCALLERIDBASLAMASTRING"),
      std::string::npos);
  EXPECT_EQ(device_calls_,
            (std::vector<std::string>{"ARG create", "ARG handler", "ARG hide",
                                      "ARG Comport=3", "ARG CihazTip=4",
                                      "ARG Connect"}));
}

// Hedefler.ini is read at start, at "Uygula" and "Kaydet", and when the
// Hedefler dialog asks: a destination that did not change goes on as it
// was, and what the file gets wrong is in the log once.
TEST_F(SettingsPresenterTest,
       HedeflerIniIsReadAtStartUygulaKaydetAndOnRequest) {
  const auto write = [&](const std::string& text) {
    std::ofstream(dir_ / "Hedefler.ini", std::ios::binary) << text;
  };
  const std::string first =
      "[Webhook1]\r\nURL=https://ornek.test/a\r\nRENK=mavi\r\n";
  write(first);
  Start();
  ConfiguredDestinations& destinations = program_->Destinations();
  ASSERT_EQ(destinations.Count(), 1u);
  ConfiguredDestination* running = &destinations.At(0);
  const auto lines = [&] {
    const auto& all = main_->Form().Log().Lines();
    return std::vector<std::u16string>(all.begin(), all.end());
  };
  EXPECT_EQ(lines(),
            (std::vector<std::u16string>{
                u"Hedefler.ini: bilinmeyen [Webhook1] RENK yok sayıldı.",
                u"Hedef etkin: Webhook 1 (https://ornek.test)"}));

  write(first + "[Webhook2]\r\nURL=https://ikinci.test/\r\n");
  view_.listener->OnApply();
  ASSERT_EQ(destinations.Count(), 2u);
  EXPECT_EQ(&destinations.At(0), running);
  EXPECT_EQ(lines().back(), u"Hedef etkin: Webhook 2 (https://ikinci.test)");

  fs::remove(dir_ / "Hedefler.ini");
  view_.listener->OnSave();
  EXPECT_EQ(destinations.Count(), 0u);

  write(first);
  program_->ReloadDestinations();
  EXPECT_EQ(destinations.Count(), 1u);
  EXPECT_EQ(program_->DestinationsFile(), (dir_ / "Hedefler.ini").u16string());
  EXPECT_EQ(program_->SenderInfo().program, u"Orvanta");
  EXPECT_EQ(program_->SenderInfo().version, u"1.2.5");
  EXPECT_FALSE(program_->SenderInfo().host.empty());
  EXPECT_TRUE(Errors().empty());
}

TEST_F(SettingsPresenterTest, KaydetStaysOpenWhenTheFileCannotBeWritten) {
  Start();
  main_->OnTrayDoubleClick();
  view_.ClickCheckBox();
  fs::create_directories(dir_ / "Setting.ini" / "blocked");
  view_.listener->OnSave();
  EXPECT_EQ(Errors().size(), 1u);
  EXPECT_TRUE(view_.window_visible);
  // Not applied, but the store keeps what the controls gave it.
  EXPECT_FALSE(program_->Channel().Active());
  EXPECT_TRUE(device_calls_.empty());
  EXPECT_EQ(program_->Store().ReadValue(u"CALLERIDKULLAN"), u"True");
}

TEST_F(SettingsPresenterTest, TheCloseBoxOnlyHides) {
  Start();
  main_->OnTrayDoubleClick();
  view_.listener->OnCloseRequest();
  EXPECT_FALSE(view_.window_visible);
  EXPECT_EQ(shell_.quits, 0);
  EXPECT_FALSE(main_->Closing());
}

TEST_F(SettingsPresenterTest, KapatAsksAndNoLeavesEverythingAsItWas) {
  WriteSettings("CALLERIDKULLAN=True\r\nCALLERIDTYPE=1\r\n");
  Start();
  main_->OnTrayDoubleClick();
  shell_.answers = {MessageAnswer::kNo};
  view_.listener->OnClose();
  ASSERT_EQ(shell_.messages.size(), 1u);
  EXPECT_EQ(shell_.messages[0].text, u"Program kapatılsın mı ?");
  EXPECT_EQ(shell_.messages[0].title, u"Soru");
  EXPECT_EQ(shell_.messages[0].icon, MessageIcon::kQuestion);
  EXPECT_EQ(shell_.messages[0].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(shell_.quits, 0);
  EXPECT_FALSE(main_->Closing());
  EXPECT_TRUE(view_.window_visible);
  EXPECT_EQ(DeviceCalls("ARG Disconnect"), 0);

  shell_.answers = {MessageAnswer::kYes};
  view_.listener->OnClose();
  EXPECT_TRUE(main_->Closing());
  EXPECT_EQ(DeviceCalls("ARG Disconnect"), 1);
  EXPECT_FALSE(program_->Channel().Active());
  EXPECT_EQ(shell_.quits, 1);
}

TEST_F(SettingsPresenterTest, ProgramiKapatClosesAtOnceFromTheTray) {
  Start();
  main_->OnEndProgramMenu();
  EXPECT_TRUE(shell_.messages.empty());
  EXPECT_TRUE(main_->Closing());
  EXPECT_EQ(shell_.quits, 1);
}

TEST_F(SettingsPresenterTest, AFailingClosingStepKeepsTheProgramRunning) {
  WriteSettings("CALLERIDKULLAN=True\r\nCALLERIDTYPE=1\r\n");
  Start();
  devices_.Fail("ARG Disconnect", u"Device busy");
  main_->OnEndProgramMenu();
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(shell_.messages.back().text, u"Device busy.");
  EXPECT_EQ(shell_.quits, 0);
  EXPECT_TRUE(main_->Closing());
  // The stop step did not run.
  EXPECT_TRUE(program_->Channel().Active());

  // Closing stays set: the close box now runs the closing step ...
  devices_.Heal("ARG Disconnect");
  view_.listener->OnCloseRequest();
  EXPECT_EQ(shell_.quits, 1);
  // The fake journals a member only when it succeeds.
  EXPECT_EQ(DeviceCalls("ARG Disconnect"), 1);
}

TEST_F(SettingsPresenterTest, KapatStillAsksAfterAFailedClose) {
  WriteSettings("CALLERIDKULLAN=True\r\nCALLERIDTYPE=1\r\n");
  Start();
  devices_.Fail("ARG Disconnect", u"Device busy");
  main_->OnEndProgramMenu();
  shell_.answers = {MessageAnswer::kNo};
  view_.listener->OnClose();
  EXPECT_EQ(shell_.messages.back().icon, MessageIcon::kQuestion);
  // "No": no second try (the failed first one is not journaled).
  EXPECT_EQ(DeviceCalls("ARG Disconnect"), 0);
  EXPECT_EQ(Errors().size(), 1u);
}

TEST_F(SettingsPresenterTest, PortuTestEtConfirmsOnlyWhileTheChannelIsOpen) {
  Start();
  view_.listener->OnTestPort();
  EXPECT_TRUE(shell_.messages.empty());

  main_->OnTrayDoubleClick();
  view_.ClickCheckBox();
  view_.listener->OnApply();
  view_.listener->OnTestPort();
  ASSERT_EQ(shell_.InfoBoxes().size(), 1u);
  EXPECT_EQ(shell_.InfoBoxes()[0].text,
            u"Ağda bulunan Caller Id destekli VELMORIS programlarına mesaj "
            u"gönderildi.");
  EXPECT_EQ(shell_.InfoBoxes()[0].title, u"Bilgi");
}

TEST_F(SettingsPresenterTest, CallsOfADeviceAppearInTheLogPane) {
  WriteSettings("CALLERIDKULLAN=True\r\nCALLERIDTYPE=1\r\n");
  Start();
  // Hidden, the pane is not drawn; showing the window catches it up.
  ASSERT_EQ(devices_.FireArg(u"5551234", u"2"), 1);
  EXPECT_TRUE(view_.log_pane.empty());
  main_->OnTrayDoubleClick();
  EXPECT_EQ(view_.log_pane,
            std::vector<std::u16string>{u"Kanal No : 2   Caller ID : 5551234"});
  // Visible, the pane is drawn by the posted refresh, after the handler.
  devices_.FireArg(u"555", u"1");
  EXPECT_EQ(view_.log_pane.size(), 1u);
  shell_.wake_handler();
  EXPECT_EQ(view_.log_pane,
            (std::vector<std::u16string>{u"Kanal No : 2   Caller ID : 5551234",
                                         u"Kanal No : 1   Caller ID : 555"}));
  view_.listener->OnLogPaneDoubleClick();
  EXPECT_TRUE(view_.log_pane.empty());
  devices_.FireArg(u"1", u"1");
  view_.ChooseDeviceKind(2);
  shell_.wake_handler();
  EXPECT_TRUE(view_.log_pane.empty());
  EXPECT_TRUE(main_->Form().Log().Lines().empty());
}

TEST_F(SettingsPresenterTest, FailuresOfHandedOverWorkReachTheErrorReport) {
  Start();
  program_->Handover().Post([] { throw Failure(u"Lost the device"); });
  EXPECT_GT(shell_.wakes.load(), 0);
  shell_.wake_handler();
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(shell_.messages.back().text, u"Lost the device.");
  EXPECT_EQ(shell_.messages.back().title, u"Orvanta");
}

TEST_F(SettingsPresenterTest, SerialBytesGoToTheTestWindowWhileItIsOpen) {
  WriteSettings("CALLERIDKULLAN=True\r\nCALLERIDTYPE=2\r\n");
  SettingsPresenter& main = Start();
  ASSERT_TRUE(program_->Port().Connected());
  auto serve_until = [&](const std::function<bool()>& done) {
    program_->Handover().ServeUntil(done);
  };

  serial_hardware_->Arrive("xxS12");
  serve_until(
      [&] { return program_->FramedSource().Framing().Buffer() == "12"; });

  shell_.port_test_user = [&](FakePortTestView& window) {
    serial_hardware_->Arrive("3E");
    serve_until([&] { return window.byte_pane.size() == 2; });
    EXPECT_EQ(window.text_pane, u"3E");
    window.listener.OnClose();
  };
  view_.listener->OnOpenPortTest();
  EXPECT_TRUE(FakePortTestView::destroyed);
  EXPECT_FALSE(program_->Serial().HasTestSink());
  const auto& log = main.Form().Log().Lines();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(program_->FramedSource().Framing().Buffer(), "12");

  // Framing goes on with what it held before the window was opened.
  serial_hardware_->Arrive("345E");
  serve_until([&] { return !log.empty(); });
  EXPECT_EQ(std::vector<std::u16string>(log.begin(), log.end()),
            std::vector<std::u16string>{u"Kanal No : 0   Caller ID : 345"});
  EXPECT_TRUE(Errors().empty());
}

// The modem is one of the program's sources: the stored type 3 opens the
// port with DTR and RTS raised, sets the modem up through it and announces
// its calls on the stored line label.
TEST_F(SettingsPresenterTest, AStoredModemIsSetUpAndHeardThroughThePort) {
  WriteSettings("CALLERIDKULLAN=True\r\nCALLERIDTYPE=3\r\nMODEMHAT=1\r\n");
  SettingsPresenter& main = Start();
  EXPECT_EQ(view_.source_index, 3);
  EXPECT_TRUE(view_.Shown(SettingsShown::kModemPanel));
  ASSERT_TRUE(program_->Port().Connected());
  ASSERT_TRUE(serial_hardware_->Line().has_value());
  EXPECT_TRUE(serial_hardware_->Line()->modem_control);  // DTR and RTS up
  EXPECT_EQ(serial_hardware_->Written(), "ATZ\r");
  auto serve_until = [&](const std::function<bool()>& done) {
    program_->Handover().ServeUntil(done);
  };

  serial_hardware_->Arrive("ATZ\r\r\nOK\r\n");
  serve_until(
      [&] { return serial_hardware_->Written() == "ATZ\rAT+VCID=1\r"; });
  serial_hardware_->Arrive("AT+VCID=1\r\r\nOK\r\n");
  const auto& log = main.Form().Log().Lines();
  serve_until([&] { return !log.empty(); });
  serial_hardware_->Arrive("\r\nRING\r\n\r\nNMBR = 05321234567\r\n");
  serve_until([&] { return log.size() == 2; });
  EXPECT_EQ(
      std::vector<std::u16string>(log.begin(), log.end()),
      (std::vector<std::u16string>{u"Modem hazır (AT+VCID=1)",
                                   u"Kanal No : 1   Caller ID : 05321234567"}));
  EXPECT_TRUE(Errors().empty());
}

TEST_F(SettingsPresenterTest, ADroppedComportClickOpensNoDialog) {
  Start();
  shell_.tick_count = 100000;
  view_.listener->OnPortSettings();
  EXPECT_EQ(shell_.setup_dialogs_created, 1);
  shell_.tick_count = 100499;
  view_.listener->OnPortSettings();
  EXPECT_EQ(shell_.setup_dialogs_created, 1);
  shell_.tick_count = 100500;
  view_.listener->OnPortSettings();
  EXPECT_EQ(shell_.setup_dialogs_created, 2);
}

TEST_F(SettingsPresenterTest,
       ComportAyarlariStoresThePortSettingsAlsoOnCancel) {
  Start();
  FakeSetupDialogView* shown = nullptr;
  std::vector<std::u16string> port_list;
  int chosen_port = -2;
  shell_.setup_dialog_user = [&](FakeSetupDialogView& dialog) {
    shown = &dialog;
    port_list = dialog.lists[SetupDialogView::kPort];
    chosen_port = dialog.chosen[SetupDialogView::kPort];
    dialog.chosen[SetupDialogView::kPort] = 1;  // chosen, then cancelled
    return false;
  };
  view_.listener->OnPortSettings();
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(port_list, (std::vector<std::u16string>{u"COM1", u"COM3"}));
  EXPECT_EQ(chosen_port, 0);
  EXPECT_EQ(program_->Port().Line().port, u"COM1");
  const std::string file = FileText("calleridcomport.ini");
  EXPECT_NE(file.find("[ComPortCallerID]"), std::string::npos);
  EXPECT_NE(file.find("Port=COM1"), std::string::npos);
  EXPECT_NE(file.find("BaudRate=9600"), std::string::npos);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(SettingsPresenterTest, ComportAyarlariAppliesTheChoicesOnOk) {
  Start();
  shell_.setup_dialog_user = [&](FakeSetupDialogView& dialog) {
    dialog.chosen[SetupDialogView::kPort] = 1;
    const auto& rates = dialog.lists[SetupDialogView::kBaudRate];
    dialog.chosen[SetupDialogView::kBaudRate] = static_cast<int>(
        std::find(rates.begin(), rates.end(), u"19200") - rates.begin());
    return true;
  };
  view_.listener->OnPortSettings();
  EXPECT_EQ(program_->Port().Line().port, u"COM3");
  const std::string file = FileText("calleridcomport.ini");
  EXPECT_NE(file.find("Port=COM3"), std::string::npos);
  EXPECT_NE(file.find("BaudRate=19200"), std::string::npos);
}

TEST_F(SettingsPresenterTest,
       ComportAyarlariWithAnUnlistedPortStoresAnEmptyName) {
  port_names_ = {u"COM2"};
  Start();
  int chosen_port = -2;
  shell_.setup_dialog_user = [&](FakeSetupDialogView& dialog) {
    chosen_port = dialog.chosen[SetupDialogView::kPort];
    return true;
  };
  view_.listener->OnPortSettings();
  EXPECT_EQ(chosen_port, -1);
  EXPECT_EQ(program_->Port().Line().port, u"");
  const std::string file = FileText("calleridcomport.ini");
  EXPECT_NE(file.find("Port=\r\n"), std::string::npos) << file;
}

TEST_F(SettingsPresenterTest,
       ComportAyarlariWithoutAPortListShowsNoDialogAndWritesNothing) {
  port_list_failure_ = u"COM Port Error: Registry error on EnumComPorts";
  Start();
  view_.listener->OnPortSettings();
  EXPECT_EQ(shell_.setup_dialogs_created, 0);
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(shell_.messages.back().text,
            u"COM Port Error: Registry error on EnumComPorts.");
  EXPECT_FALSE(fs::exists(dir_ / "calleridcomport.ini"));
}

// A settings file that does not read as text leaves caller-ID off, as the
// defaults have it; the user hears why, once, and the file stays as it was.
TEST_F(SettingsPresenterTest, ASettingsFileThatIsNotTextIsReportedOnceAtStart) {
  using namespace std::string_literals;
  struct Case {
    std::string bytes;
    std::u16string reason;  // empty: no report
  };
  const Case cases[] = {
      {"\xFF\xFE[\0V\0m\0S\0"s,
       u"Dosya UTF-16 (\"Unicode\") olarak kaydedilmiş"},
      {"[VmStored]\r\nCALLERIDKULLAN=True\r\nIPNO=\xFE\r\n",
       u"Dosya geçerli bir UTF-8 metni değil (ilk hatalı bayt: 39. bayt)"},
      {"[VmStored]\r\nIPNO=1\r\n\0CALLERIDKULLAN=True\r\n"s,
       u"Dosyanın 21. baytı NUL (0); ondan sonrası okunmadı"},
      {"", u""},
      {"\xEF\xBB\xBF", u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.reason));
    std::ofstream(dir_ / "Setting.ini", std::ios::binary) << c.bytes;
    shell_.journal.clear();
    shell_.messages.clear();
    Start();
    if (c.reason.empty()) {
      EXPECT_TRUE(Errors().empty());
    } else {
      ASSERT_EQ(Errors().size(), 1u);
      const std::u16string& text = shell_.messages[0].text;
      EXPECT_TRUE(text.starts_with(u"Ayar dosyası")) << Utf16ToUtf8(text);
      EXPECT_NE(text.find((dir_ / "Setting.ini").u16string()),
                std::u16string::npos);
      EXPECT_NE(text.find(c.reason), std::u16string::npos) << Utf16ToUtf8(text);
      EXPECT_EQ(shell_.messages[0].icon, MessageIcon::kError);
    }
    // The start goes on: the balloon, but no caller-ID.
    EXPECT_TRUE(BalloonShown());
    EXPECT_FALSE(program_->Channel().Active());
    EXPECT_EQ(FileText("Setting.ini"), c.bytes);
    main_.reset();
  }
}

TEST_F(SettingsPresenterTest,
       ASettingsFileThatCannotBeReadStopsTheStartWithOneReport) {
  fs::create_directories(dir_ / "Setting.ini");
  Start();
  ASSERT_EQ(Errors().size(), 1u);
  const std::u16string& text = shell_.messages[0].text;
  EXPECT_TRUE(
      text.starts_with(u"Ayar dosyası okunamadı; Caller ID başlatılmadı"))
      << Utf16ToUtf8(text);
  EXPECT_NE(text.find(u"\r\nCannot open file \"" +
                      (dir_ / "Setting.ini").u16string() + u"\"."),
            std::u16string::npos)
      << Utf16ToUtf8(text);
  EXPECT_FALSE(BalloonShown());
  EXPECT_EQ(shell_.posted_auto_starts, 0);
}

TEST_F(SettingsPresenterTest,
       TheWindowShowsAtStartOnlyWhenAskedOrWithoutATray) {
  struct Case {
    bool asked, screen, tray, shown;
  };
  const Case cases[] = {
      {false, true, true, false}, {true, true, true, true},
      {false, true, false, true}, {false, false, false, false},
      {true, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.asked << c.screen << c.tray);
    view_.window_visible = false;
    show_window_at_start_ = c.asked;
    shell_.has_screen = c.screen;
    shell_.has_tray = c.tray;
    Create().StartUp();
    main_->ShowAtStartIfDue();
    EXPECT_EQ(view_.window_visible, c.shown);
    EXPECT_EQ(main_->ShowOnStart(), c.shown);
    main_.reset();
  }
}

// The settings folder may be one the command line named and nobody made
// yet: every action that writes a settings file makes it first, and no
// other action does.
TEST_F(SettingsPresenterTest, ActionsThatWriteASettingsFileMakeTheFolderFirst) {
  shell_.exe_path = (dir_ / "new" / "folder" / "Orvanta.exe").u16string();
  shell_.setup_dialog_user = [](FakeSetupDialogView&) { return true; };
  shell_.destinations_user = [](FakeDestinationsView& dialog) {
    dialog.AddWebhook();
    dialog.Type(DestinationsView::Field::kWebhookUrl,
                u"https://ornek.example/");
    dialog.Save();
  };
  Start();
  struct Case {
    const char* name;
    void (SettingsViewListener::*action)();
    const char* writes;
  };
  const Case cases[] = {
      {"Gizle", &SettingsViewListener::OnHide, nullptr},
      {"PortuTestEt", &SettingsViewListener::OnTestPort, nullptr},
      {"CloseRequest", &SettingsViewListener::OnCloseRequest, nullptr},
      {"Uygula", &SettingsViewListener::OnApply, "Setting.ini"},
      {"Kaydet", &SettingsViewListener::OnSave, "Setting.ini"},
      {"ComportAyarlari", &SettingsViewListener::OnPortSettings,
       "calleridcomport.ini"},
      {"Hedefler", &SettingsViewListener::OnDestinations, "Hedefler.ini"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir_ / "new");
    shell_.settings_folder_creations = 0;
    (view_.listener->*c.action)();
    EXPECT_EQ(shell_.settings_folder_creations, c.writes ? 1 : 0);
    if (c.writes) {
      EXPECT_TRUE(fs::exists(dir_ / "new" / "folder" / c.writes));
    }
  }
  EXPECT_TRUE(Errors().empty());
}

TEST_F(SettingsPresenterTest,
       TheEndOfTheSessionRunsTheClosingStepWithoutAsking) {
  WriteSettings("CALLERIDKULLAN=True\r\nCALLERIDTYPE=1\r\n");
  Start();
  main_->OnEndSession();
  EXPECT_TRUE(shell_.messages.empty());
  EXPECT_TRUE(main_->Closing());
  EXPECT_EQ(DeviceCalls("ARG Disconnect"), 1);
  EXPECT_FALSE(program_->Channel().Active());
  EXPECT_EQ(shell_.quits, 1);
}

TEST_F(SettingsPresenterTest,
       TheEndOfTheSessionEndsTheProgramEvenWhenTheClosingStepFails) {
  WriteSettings("CALLERIDKULLAN=True\r\nCALLERIDTYPE=1\r\n");
  Start();
  devices_.Fail("ARG Disconnect", u"Device busy");
  main_->OnEndSession();
  EXPECT_TRUE(shell_.messages.empty());
  EXPECT_EQ(shell_.quits, 1);
}

}  // namespace
}  // namespace orvanta
