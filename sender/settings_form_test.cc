#include "sender/settings_form.h"

#include <gtest/gtest.h>

#include <climits>

#include "sender/test/fake_views.h"
#include "base/failure.h"
#include "settings/storage.h"

namespace orvanta {
namespace {

using Shown = SettingsShown;

class SettingsFormTest : public testing::Test {
 protected:
  SettingsFormTest() { AddSettingsCatalogue(store_); }

  std::u16string Stored(std::u16string_view key) {
    return store_.ReadValue(key);
  }

  FakeSettingsView view_;
  LogModel log_;
  SettingsForm form_{view_, log_};
  SettingsStore store_;
};

TEST(EditPortTest, KeystrokeFilterKeepsAWholeNumber) {
  struct Case {
    const char16_t* text;
    bool accepted;
  } cases[] = {
      {u"", true},     {u"18900", true}, {u"-", true},    {u"-12", true},
      {u"12a", false}, {u"1-2", false},  {u"1.5", false}, {u"1.", false},
      {u" 1", false},  {u"+1", false},   {u"--1", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PortTextAccepts(c.text), c.accepted)
        << testing::PrintToString(std::u16string(c.text));
  }
}

TEST(EditPortTest, FormatShowsPlainDigitsAndZeroAsEmpty) {
  EXPECT_EQ(FormatPortNumber(0), u"");
  EXPECT_EQ(FormatPortNumber(18900), u"18900");
  EXPECT_EQ(FormatPortNumber(1234567), u"1234567");
  EXPECT_EQ(FormatPortNumber(-1), u"-1");
}

TEST(EditPortTest, ReadingTruncatesAndNeverFails) {
  struct Case {
    const char16_t* text;
    int32_t value;
  } cases[] = {
      {u"", 0},
      {u"abc", 0},
      {u"18900", 18900},
      {u" 42 ", 42},
      {u"-7", -7},
      {u"12.9", 12},
      {u"-3,7", -3},
      {u"-", 0},
      {u"1x", 0},
      {u"99999999999", INT32_MAX},
      {u"-99999999999", INT32_MIN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadPortNumber(c.text), c.value)
        << testing::PrintToString(std::u16string(c.text));
  }
}

TEST_F(SettingsFormTest, StartsWithTheWindowsDesignedValues) {
  EXPECT_FALSE(view_.caller_id_enabled);
  EXPECT_EQ(view_.source_index, 0);
  EXPECT_EQ(view_.EditText(SettingsEdit::kPortNumber), u"");
  EXPECT_EQ(view_.EditText(SettingsEdit::kMainMachineIp), u"192.168.0.255");
  EXPECT_EQ(view_.ComboIndex(SettingsCombo::kArgDeviceKind), 0);
  EXPECT_EQ(view_.ComboIndex(SettingsCombo::kArgComPort), 0);
  EXPECT_EQ(view_.arg_choice_label, u"ComPort Seçimi");
  for (Shown c : {Shown::kCallerIdPanel, Shown::kArgPanel, Shown::kSerialPanel,
                  Shown::kModemPanel, Shown::kArgChoiceLabel,
                  Shown::kMainMachineIp, Shown::kArgComPort}) {
    EXPECT_FALSE(view_.visible.at(c));
  }
}

TEST_F(SettingsFormTest, ProgrammaticCheckBoxChangeRaisesItsClick) {
  form_.SetCallerIdEnabled(true);
  EXPECT_TRUE(view_.Shown(Shown::kCallerIdPanel));
  form_.SetCallerIdEnabled(false);
  EXPECT_FALSE(view_.Shown(Shown::kCallerIdPanel));
}

TEST_F(SettingsFormTest, ProgrammaticRadioChangeRaisesItsClickAndClamps) {
  form_.SetCallerIdEnabled(true);
  form_.SetSource(5);
  EXPECT_EQ(view_.source_index, 2);
  EXPECT_TRUE(view_.Shown(Shown::kSerialPanel));
  EXPECT_FALSE(view_.Shown(Shown::kArgPanel));

  form_.SetSource(3);
  EXPECT_TRUE(view_.Shown(Shown::kModemPanel));
  EXPECT_FALSE(view_.Shown(Shown::kSerialPanel));

  // Beyond the last item is the serial item, as before there was a modem.
  form_.SetSource(4);
  EXPECT_EQ(view_.source_index, 2);
  EXPECT_TRUE(view_.Shown(Shown::kSerialPanel));
  EXPECT_FALSE(view_.Shown(Shown::kModemPanel));

  form_.SetSource(1);
  EXPECT_TRUE(view_.Shown(Shown::kArgPanel));
  EXPECT_FALSE(view_.Shown(Shown::kSerialPanel));

  // No item: no click, so the panels stay as the last click left them.
  form_.SetSource(-7);
  EXPECT_EQ(view_.source_index, -1);
  EXPECT_TRUE(view_.Shown(Shown::kArgPanel));
  EXPECT_EQ(form_.SourceIndex(), -1);
}

TEST_F(SettingsFormTest, SpinsAndCombosTakeOnlyTheirRange) {
  struct Case {
    int given, spin, device_kind, com_port;
  } cases[] = {
      {-5, 0, -1, -1}, {0, 0, 0, 0},   {4, 4, 4, 4},       {5, 5, -1, 5},
      {8, 8, -1, 8},   {9, 9, -1, -1}, {500, 500, -1, -1}, {900, 500, -1, -1},
  };
  for (const Case& c : cases) {
    form_.SetSpinValue(SettingsSpin::kNumberLength, c.given);
    form_.SetComboIndex(SettingsCombo::kArgDeviceKind, c.given);
    form_.SetComboIndex(SettingsCombo::kArgComPort, c.given);
    EXPECT_EQ(view_.SpinValue(SettingsSpin::kNumberLength), c.spin) << c.given;
    EXPECT_EQ(form_.ArgDeviceKind(), c.device_kind) << c.given;
    EXPECT_EQ(form_.ArgComPort(), c.com_port) << c.given;
  }
}

TEST_F(SettingsFormTest, DeviceKindShowsItsFieldAndClearsTheLog) {
  form_.SetCallerIdEnabled(true);
  form_.SetSource(1);
  log_.AddLogLine(u"Kanal No : 1   Caller ID : 5551234");

  view_.combos[SettingsCombo::kArgDeviceKind] = 3;
  form_.ArgDeviceKindChanged();
  EXPECT_TRUE(form_.Log().Lines().empty());
  EXPECT_TRUE(view_.Shown(Shown::kArgChoiceLabel));
  EXPECT_EQ(view_.arg_choice_label, u"AnaMakina IP");
  EXPECT_TRUE(view_.Shown(Shown::kMainMachineIp));
  EXPECT_FALSE(view_.Shown(Shown::kArgComPort));

  // Back to the prompt: label and IP field go together, the label's text
  // stays.
  view_.combos[SettingsCombo::kArgDeviceKind] = 0;
  form_.ArgDeviceKindChanged();
  EXPECT_FALSE(view_.Shown(Shown::kArgChoiceLabel));
  EXPECT_FALSE(view_.Shown(Shown::kMainMachineIp));
  EXPECT_EQ(view_.arg_choice_label, u"AnaMakina IP");

  view_.combos[SettingsCombo::kArgDeviceKind] = 4;
  form_.ArgDeviceKindChanged();
  EXPECT_EQ(view_.arg_choice_label, u"ComPort Seçimi");
  EXPECT_TRUE(view_.Shown(Shown::kArgChoiceLabel));
  EXPECT_TRUE(view_.Shown(Shown::kArgComPort));
  EXPECT_FALSE(view_.Shown(Shown::kMainMachineIp));

  view_.combos[SettingsCombo::kArgDeviceKind] = -1;
  form_.ArgDeviceKindChanged();
  EXPECT_FALSE(view_.Shown(Shown::kArgChoiceLabel));
  EXPECT_FALSE(view_.Shown(Shown::kArgComPort));
}

TEST_F(SettingsFormTest, LogPaneDoubleClickClearsTheLog) {
  view_.ShowWindow();
  log_.AddLogLine(u"a");
  log_.AddLogLine(u"b");
  EXPECT_EQ(view_.log_pane.size(), 2u);
  form_.LogPaneDoubleClicked();
  EXPECT_TRUE(view_.log_pane.empty());
  EXPECT_TRUE(form_.Log().Lines().empty());
}

TEST_F(SettingsFormTest, EscapeRestoresTheLastValueAndExitTakesTheTypedOne) {
  form_.SetPortNumber(18900);
  view_.TypeIntoPortEdit(u"7x");
  EXPECT_EQ(view_.EditText(SettingsEdit::kPortNumber), u"189007");
  form_.PortEditEscaped();
  EXPECT_EQ(view_.EditText(SettingsEdit::kPortNumber), u"18900");

  view_.edits[SettingsEdit::kPortNumber] = u"";
  view_.TypeIntoPortEdit(u"0042");
  form_.PortEditLeft();
  EXPECT_EQ(view_.EditText(SettingsEdit::kPortNumber), u"42");
  view_.TypeIntoPortEdit(u"1");
  form_.PortEditEscaped();
  EXPECT_EQ(view_.EditText(SettingsEdit::kPortNumber), u"42");

  view_.edits[SettingsEdit::kPortNumber] = u"0";
  form_.PortEditLeft();
  EXPECT_EQ(view_.EditText(SettingsEdit::kPortNumber), u"");
}

TEST_F(SettingsFormTest, LoadsTheDefaultsOfTheCatalogue) {
  form_.LoadSettingsToForm(store_);
  EXPECT_FALSE(view_.caller_id_enabled);
  EXPECT_EQ(view_.source_index, 0);
  EXPECT_EQ(view_.EditText(SettingsEdit::kStartText), u"S");
  EXPECT_EQ(view_.EditText(SettingsEdit::kEndText), u"E");
  EXPECT_EQ(view_.SpinValue(SettingsSpin::kNumberStart), 3);
  EXPECT_EQ(view_.SpinValue(SettingsSpin::kNumberLength), 15);
  EXPECT_EQ(view_.EditText(SettingsEdit::kPortNumber), u"18900");
  EXPECT_EQ(form_.ArgDeviceKind(), 1);
  EXPECT_EQ(form_.MainMachineIp(), u"192.168.0.1");
  EXPECT_EQ(form_.ArgComPort(), 1);  // "COM 2"
  EXPECT_EQ(view_.SpinValue(SettingsSpin::kLineStart), 0);
  EXPECT_EQ(view_.SpinValue(SettingsSpin::kLineLength), 0);
  EXPECT_EQ(view_.EditText(SettingsEdit::kModemCommands), u"");
  EXPECT_EQ(view_.EditText(SettingsEdit::kModemLine), u"0");
  EXPECT_FALSE(view_.Shown(Shown::kCallerIdPanel));
}

// A stored text, what the control shows, and what saving writes back.
TEST_F(SettingsFormTest, StoredValuesRoundTripThroughTheControls) {
  struct Case {
    const char16_t* key;
    const char16_t* stored;
    const char16_t* saved;
  } cases[] = {
      {kCallerIdKullan, u"1", u"True"},
      {kCallerIdKullan, u"0", u"False"},
      {kCallerIdKullan, u"true", u"True"},
      {kCallerIdType, u"5", u"2"},
      {kCallerIdType, u"3", u"3"},
      {kCallerIdType, u"4", u"2"},
      {kCallerIdType, u"-3", u"-1"},
      {kCallerIdType, u"True", u"1"},
      {kCallerIdNoBaslama, u"-4", u"0"},
      {kCallerIdNoUzunluk, u"900", u"500"},
      {kCallerIdNoUzunluk, u"500", u"500"},
      {kUdpPort, u"0", u"0"},
      {kUdpPort, u"70000", u"70000"},
      {kCihazSec, u"9", u"-1"},
      {kCihazSec, u"4", u"4"},
      {kComPort, u"8", u"8"},
      {kComPort, u"9", u"-1"},
      {kCallerIdBaslamaString, u"#13#10 x", u"#13#10 x"},
      {kIpNo, u" 10.0.0.1 ", u" 10.0.0.1 "},
      {kCallerIdHatBaslama, u"900", u"500"},
      {kCallerIdHatUzunluk, u"-1", u"0"},
      {kModemKomut, u"AT+GCI=AE; AT+VCID=1", u"AT+GCI=AE; AT+VCID=1"},
      {kModemHat, u" 2 ", u" 2 "},
  };
  for (const Case& c : cases) {
    SettingsStore store;
    AddSettingsCatalogue(store);
    store.WriteValue(c.key, std::u16string(c.stored));
    FakeSettingsView view;
    LogModel log;
    SettingsForm form(view, log);
    form.LoadSettingsToForm(store);
    form.StoreControls(store);
    EXPECT_EQ(store.ReadValue(c.key), c.saved)
        << testing::PrintToString(std::u16string(c.key)) << " "
        << testing::PrintToString(std::u16string(c.stored));
  }
}

TEST_F(SettingsFormTest, StoredTypeAboveTheLastItemShowsTheSerialPanel) {
  store_.WriteValue(kCallerIdKullan, true);
  store_.WriteValue(kCallerIdType, int32_t{5});
  form_.LoadSettingsToForm(store_);
  EXPECT_EQ(view_.source_index, 2);
  EXPECT_TRUE(view_.Shown(Shown::kSerialPanel));
  EXPECT_FALSE(view_.Shown(Shown::kArgPanel));
}

TEST_F(SettingsFormTest, UnreadableBooleanStopsTheLoadAtTheFirstStep) {
  store_.WriteValue(kCallerIdKullan, u"yes");
  store_.WriteValue(kCallerIdType, int32_t{2});
  try {
    form_.LoadSettingsToForm(store_);
    FAIL() << "no failure";
  } catch (const Failure& f) {
    EXPECT_EQ(f.message(),
              u"Could not convert variant of type (UnicodeString) into type "
              u"(Boolean)");
  }
  EXPECT_FALSE(view_.caller_id_enabled);
  EXPECT_EQ(view_.source_index, 0);
  EXPECT_EQ(view_.EditText(SettingsEdit::kStartText), u"");
  EXPECT_FALSE(view_.Shown(Shown::kCallerIdPanel));
}

TEST_F(SettingsFormTest, UnreadablePortStopsTheLoadAtStepSeven) {
  store_.WriteValue(kUdpPort, u"abc");
  store_.WriteValue(kCallerIdNoUzunluk, int32_t{7});
  store_.WriteValue(kCihazSec, int32_t{3});
  store_.WriteValue(kComPort, int32_t{5});
  EXPECT_THROW(form_.LoadSettingsToForm(store_), Failure);
  // Steps 1 to 6 are done ...
  EXPECT_EQ(view_.EditText(SettingsEdit::kEndText), u"E");
  EXPECT_EQ(view_.SpinValue(SettingsSpin::kNumberLength), 7);
  // ... the rest keep the resource's values.
  EXPECT_EQ(view_.EditText(SettingsEdit::kPortNumber), u"");
  EXPECT_EQ(form_.ArgDeviceKind(), 0);
  EXPECT_EQ(form_.MainMachineIp(), u"192.168.0.255");
  EXPECT_EQ(form_.ArgComPort(), 0);
}

TEST_F(SettingsFormTest, StoringWritesEveryControlAsItsKind) {
  view_.caller_id_enabled = true;
  view_.source_index = -1;
  view_.edits[SettingsEdit::kStartText] = u"#2";
  view_.edits[SettingsEdit::kEndText] = u"";
  view_.spins[SettingsSpin::kNumberStart] = 1;
  view_.spins[SettingsSpin::kNumberLength] = 0;
  view_.edits[SettingsEdit::kPortNumber] = u"";
  view_.combos[SettingsCombo::kArgDeviceKind] = -1;
  view_.edits[SettingsEdit::kMainMachineIp] = u"host";
  view_.combos[SettingsCombo::kArgComPort] = 0;
  view_.spins[SettingsSpin::kLineStart] = 1;
  view_.spins[SettingsSpin::kLineLength] = 2;
  view_.edits[SettingsEdit::kModemCommands] = u"AT#CID=1";
  view_.edits[SettingsEdit::kModemLine] = u"";
  form_.StoreControls(store_);
  EXPECT_EQ(Stored(kCallerIdKullan), u"True");
  EXPECT_EQ(Stored(kCallerIdType), u"-1");
  EXPECT_EQ(Stored(kCallerIdBaslamaString), u"#2");
  EXPECT_EQ(Stored(kCallerIdBitisString), u"");
  EXPECT_EQ(Stored(kCallerIdNoBaslama), u"1");
  EXPECT_EQ(Stored(kCallerIdNoUzunluk), u"0");
  EXPECT_EQ(Stored(kUdpPort), u"0");
  EXPECT_EQ(Stored(kCihazSec), u"-1");
  EXPECT_EQ(Stored(kIpNo), u"host");
  EXPECT_EQ(Stored(kComPort), u"0");
  EXPECT_EQ(Stored(kCallerIdHatBaslama), u"1");
  EXPECT_EQ(Stored(kCallerIdHatUzunluk), u"2");
  EXPECT_EQ(Stored(kModemKomut), u"AT#CID=1");
  EXPECT_EQ(Stored(kModemHat), u"");
}

}  // namespace
}  // namespace orvanta
