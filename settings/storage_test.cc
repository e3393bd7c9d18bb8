#include "settings/storage.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <functional>
#include <string>

#include "base/failure.h"
#include "base/text.h"
#include "base/test/temp_folder.h"
#include "settings/typed_reading.h"

namespace orvanta {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr char kCatalogueLines[] =
    "CALLERIDKULLAN=False\r\n"
    "CALLERIDTYPE=0\r\n"
    "CALLERIDBASLAMASTRING=S\r\n"
    "CALLERIDBITISSTRING=E\r\n"
    "CALLERIDNOBASLAMA=3\r\n"
    "CALLERIDNOUZUNLUK=15\r\n"
    "UDPPORT=18900\r\n"
    "CIHAZSEC=1\r\n"
    "IPNO=192.168.0.1\r\n"
    "COMPORT=1\r\n"
    "CALLERIDHATBASLAMA=0\r\n"
    "CALLERIDHATUZUNLUK=0\r\n"
    "MODEMKOMUT=\r\n"
    "MODEMHAT=0\r\n";

class StorageTest : public ::testing::Test {
 protected:
  StorageTest() : file_(folder_.File(u"Setting.ini")) {
    AddSettingsCatalogue(store_);
  }

  // A store over `file_` as the main window makes it.
  void Open() {
    store_.SetFileName(file_);
    store_.RestoreValues();
  }

  std::string FileBytes() const { return ReadBytes(file_); }

  // The failure message of `action`, or "" when it succeeds.
  template <typename Action>
  static std::u16string FailureOf(Action action) {
    try {
      action();
    } catch (const Failure& failure) {
      return failure.message();
    }
    return u"";
  }

  TempFolder folder_;
  const std::u16string file_;
  SettingsStore store_;
};

TEST_F(StorageTest, WritesTheCatalogueFromScratch) {
  Open();
  EXPECT_EQ(store_.ReadValue(kIpNo), u"192.168.0.1");
  store_.SaveValues();
  EXPECT_EQ(FileBytes(),
            std::string(kBom) + "[VmStored]\r\n" + kCatalogueLines + "\r\n");
  EXPECT_EQ(folder_.Entries(), std::set<std::u16string>{u"Setting.ini"});
}

TEST_F(StorageTest, LowerCaseSectionAndKeyWithBlanks) {
  WriteBytes(file_, "[vmstored]\r\nudpport = 20000\r\n");
  Open();
  EXPECT_EQ(ReadInteger(store_, kUdpPort), 20000);
  store_.SaveValues();
  EXPECT_EQ(FileBytes(), std::string(kBom) +
                             "[vmstored]\r\n"
                             "UDPPORT=20000\r\n"
                             "CALLERIDKULLAN=False\r\n"
                             "CALLERIDTYPE=0\r\n"
                             "CALLERIDBASLAMASTRING=S\r\n"
                             "CALLERIDBITISSTRING=E\r\n"
                             "CALLERIDNOBASLAMA=3\r\n"
                             "CALLERIDNOUZUNLUK=15\r\n"
                             "CIHAZSEC=1\r\n"
                             "IPNO=192.168.0.1\r\n"
                             "COMPORT=1\r\n"
                             "CALLERIDHATBASLAMA=0\r\n"
                             "CALLERIDHATUZUNLUK=0\r\n"
                             "MODEMKOMUT=\r\n"
                             "MODEMHAT=0\r\n"
                             "\r\n");
}

TEST_F(StorageTest, TypedReadingsOfFileValues) {
  constexpr char16_t kOverflow[] =
      u"Overflow while converting variant of type (UnicodeString) into type "
      u"(Integer)";
  constexpr char16_t kNotBoolean[] =
      u"Could not convert variant of type (UnicodeString) into type (Boolean)";
  enum Kind { kText, kInteger, kBoolean };
  const struct {
    const char* line;
    const char16_t* name;
    Kind kind;
    std::u16string outcome;
  } cases[] = {
      {"IPNO=", kIpNo, kText, u""},
      {"UDPPORT=", kUdpPort, kInteger, kNotBoolean},
      {"UDPPORT=True", kUdpPort, kInteger, u"1"},
      {"UDPPORT=99999999999", kUdpPort, kInteger, kOverflow},
      {"UDPPORT=0x4AD4", kUdpPort, kInteger, u"19156"},
      {"CALLERIDKULLAN=1", kCallerIdKullan, kBoolean, u"True"},
      {"CALLERIDKULLAN=true", kCallerIdKullan, kBoolean, u"True"},
      {"CALLERIDKULLAN=yes", kCallerIdKullan, kBoolean, kNotBoolean},
      {"CALLERIDBASLAMASTRING=#2 x", kCallerIdBaslamaString, kText, u"#2 x"},
  };
  for (const auto& c : cases) {
    WriteBytes(file_, std::string("[VmStored]\r\n") + c.line + "\r\n");
    Open();
    std::u16string outcome;
    try {
      switch (c.kind) {
        case kText:
          outcome = store_.ReadValue(c.name);
          break;
        case kInteger:
          outcome = IntToText(ReadInteger(store_, c.name));
          break;
        case kBoolean:
          outcome = ReadBoolean(store_, c.name) ? u"True" : u"False";
          break;
      }
    } catch (const Failure& failure) {
      outcome = failure.message();
    }
    EXPECT_EQ(outcome, c.outcome) << c.line;
  }
}

TEST_F(StorageTest, LastSectionAndLastEntryAreReadAndReplaced) {
  WriteBytes(file_,
             "[VmStored]\r\nUDPPORT=1\r\n"
             "[Other]\r\nk = v\r\n"
             "[ VMSTORED ]\r\nUDPPORT=2\r\nUDPPORT=3\r\n");
  Open();
  EXPECT_EQ(store_.ReadValue(kUdpPort), u"3");
  store_.WriteValue(kUdpPort, 4);
  store_.SaveValues();
  EXPECT_EQ(FileBytes(), std::string(kBom) +
                             "[VmStored]\r\nUDPPORT=1\r\n\r\n"
                             "[Other]\r\nk=v\r\n\r\n"
                             "[VMSTORED]\r\nUDPPORT=2\r\nUDPPORT=4\r\n"
                             "CALLERIDKULLAN=False\r\n"
                             "CALLERIDTYPE=0\r\n"
                             "CALLERIDBASLAMASTRING=S\r\n"
                             "CALLERIDBITISSTRING=E\r\n"
                             "CALLERIDNOBASLAMA=3\r\n"
                             "CALLERIDNOUZUNLUK=15\r\n"
                             "CIHAZSEC=1\r\n"
                             "IPNO=192.168.0.1\r\n"
                             "COMPORT=1\r\n"
                             "CALLERIDHATBASLAMA=0\r\n"
                             "CALLERIDHATUZUNLUK=0\r\n"
                             "MODEMKOMUT=\r\n"
                             "MODEMHAT=0\r\n"
                             "\r\n");
}

TEST_F(StorageTest, CommentsStrayLinesAndMissingMarkDoNotSurviveASave) {
  for (const std::string mark : {"", kBom}) {
    WriteBytes(file_,
               mark + ";x\r\nstray\r\n[VmStored]\r\n;y\r\nCOMPORT = 2\r\n");
    Open();
    EXPECT_EQ(store_.ReadValue(kComPort), u"2");
    store_.SaveValues();
    std::string others = kCatalogueLines;
    others.erase(others.find("COMPORT=1\r\n"), 11);
    EXPECT_EQ(FileBytes(), std::string(kBom) + "[VmStored]\r\nCOMPORT=2\r\n" +
                               others + "\r\n");
  }
}

TEST_F(StorageTest, BlanksAroundAValueAreGoneAfterReading) {
  Open();
  store_.WriteValue(kCallerIdBaslamaString, u" S\t");
  store_.SaveValues();
  SettingsStore other;
  AddSettingsCatalogue(other);
  other.WriteValue(kCallerIdBaslamaString, u"changed");
  other.SetFileName(file_);
  EXPECT_EQ(other.ReadValue(kCallerIdBaslamaString), u"S");
}

TEST_F(StorageTest, FileDeletedWhileRunningIsCreatedWithTheStoredSectionOnly) {
  WriteBytes(file_, "[Other]\r\nk=v\r\n[VmStored]\r\nCIHAZSEC=3\r\n");
  Open();
  std::filesystem::remove(std::filesystem::path(file_));
  store_.SaveValues();
  std::string expected =
      std::string(kBom) + "[VmStored]\r\n" + kCatalogueLines + "\r\n";
  expected.replace(expected.find("CIHAZSEC=1"), 10, "CIHAZSEC=3");
  EXPECT_EQ(FileBytes(), expected);
}

TEST_F(StorageTest, UnknownNameIsAppendedSavedAndRestored) {
  Open();
  const int catalogue = store_.StoredValues().Count();
  store_.WriteValue(u"YENI", u"de\u011fer");
  ASSERT_EQ(store_.StoredValues().Count(), catalogue + 1);
  EXPECT_EQ(store_.StoredValues().Items(catalogue).Name, u"YENI");
  store_.SaveValues();
  EXPECT_TRUE(
      FileBytes().ends_with("MODEMHAT=0\r\nYENI=de\xC4\x9F"
                            "er\r\n\r\n"));
  store_.WriteValue(u"yeni", u"other");
  store_.RestoreValues();
  EXPECT_EQ(store_.ReadValue(u"YENI"), u"de\u011fer");
}

TEST_F(StorageTest, WrittenValuesTakeTheirTextForms) {
  store_.WriteValue(kUdpPort, int32_t{-1});
  EXPECT_EQ(store_.ReadValue(kUdpPort), u"-1");
  store_.WriteValue(kUdpPort, int32_t{18900});
  EXPECT_EQ(store_.ReadValue(kUdpPort), u"18900");
  store_.WriteValue(kCallerIdKullan, true);
  EXPECT_EQ(store_.ReadValue(kCallerIdKullan), u"True");
  store_.WriteValue(kCallerIdKullan, false);
  EXPECT_EQ(store_.ReadValue(kCallerIdKullan), u"False");
  store_.WriteValue(kIpNo, u" 10.0.0.1 ");
  EXPECT_EQ(store_.ReadValue(kIpNo), u" 10.0.0.1 ");
  EXPECT_EQ(store_.ReadValue(u"MISSING"), u"");
}

TEST_F(StorageTest, EncodedValuesAreStoredComplemented) {
  EXPECT_EQ(StoredValue::EnDeCrypt(u"abc"),
            (std::u16string{0xFF9E, 0xFF9D, 0xFF9C}));
  EXPECT_EQ(StoredValue::EnDeCrypt(std::u16string{0xFF9E, 0xFF9D, 0xFF9C}),
            u"abc");

  StoredValue& secret = store_.StoredValues().Add();
  secret.Name = u"SECRET";
  secret.Encode = true;
  store_.WriteValue(u"SECRET", u"abc");
  EXPECT_EQ(secret.Value, (std::u16string{0xFF9E, 0xFF9D, 0xFF9C}));
  EXPECT_EQ(store_.ReadValue(u"secret"), u"abc");
}

TEST_F(StorageTest, FileNameAndActiveReloadOnlyOnChange) {
  WriteBytes(file_, "[VmStored]\r\nUDPPORT=1\r\n");
  store_.SetFileName(file_);
  EXPECT_EQ(store_.ReadValue(kUdpPort), u"1");

  WriteBytes(file_, "[VmStored]\r\nUDPPORT=2\r\n");
  store_.SetFileName(file_);
  EXPECT_EQ(store_.ReadValue(kUdpPort), u"1");
  store_.RestoreValues();
  EXPECT_EQ(store_.ReadValue(kUdpPort), u"2");

  // Inactive, the store keeps copying from the image it has.
  WriteBytes(file_, "[VmStored]\r\nUDPPORT=3\r\n");
  store_.WriteValue(kUdpPort, u"9");
  store_.SetActive(false);
  EXPECT_EQ(store_.ReadValue(kUdpPort), u"2");
  store_.SetActive(true);
  EXPECT_EQ(store_.ReadValue(kUdpPort), u"3");

  SettingsStore unnamed;
  AddSettingsCatalogue(unnamed);
  unnamed.Loaded();
  unnamed.SaveValues();  // no file name: nothing to write
  EXPECT_EQ(unnamed.ReadValue(kUdpPort), u"18900");
}

TEST_F(StorageTest, CollectionFindsNamesIgnoringCase) {
  StoredValueList& values = store_.StoredValues();
  EXPECT_EQ(values.IndexOf(u"udpport"), 6);
  values.Add().Name = u"UDPPORT";
  EXPECT_EQ(values.IndexOf(u"UdpPort"), 6);
  EXPECT_EQ(values.FindValue(u"ipno"), &values.Items(8));
  EXPECT_EQ(values.FindValue(u"nothing"), nullptr);
  EXPECT_EQ(values.IndexOf(u"nothing"), -1);
  // A name is matched whole: not by a shorter or longer one.
  for (const char16_t* other : {u"UDPPOR", u"UDPPORTT", u"udpport ",
                                u"CALLERID", u"CALLERIDNOUZUNLUKX"}) {
    EXPECT_EQ(values.IndexOf(other), -1) << Utf16ToUtf8(other);
  }
  EXPECT_EQ(values.IndexOf(u"CallerIdNoUzunluk"), 5);

  // Beyond ASCII the system's casing decides (a UTF-8 C library locale here).
  const std::string old_locale = std::setlocale(LC_CTYPE, nullptr);
  std::setlocale(LC_CTYPE, "C.UTF-8");
  values.Add().Name = u"\u00c7ALI\u015e";
  EXPECT_EQ(values.IndexOf(u"\u00e7ALI\u015f"), values.Count() - 1);
  std::setlocale(LC_CTYPE, old_locale.c_str());

  StoredValue& first = values.Insert(0);
  EXPECT_EQ(&values.Items(0), &first);
  EXPECT_EQ(first.GetDisplayName(0), u"Item 0");
  EXPECT_EQ(values.Items(1).GetDisplayName(1), u"CALLERIDKULLAN");
  values.Clear();
  EXPECT_EQ(values.Count(), 0);
}

TEST_F(StorageTest, UnreadableFileFailsToOpen) {
  std::filesystem::create_directory(std::filesystem::path(file_));
  const std::u16string prefix = u"Cannot open file \"" + file_ + u"\". ";
  store_.WriteValue(kUdpPort, 5);
  const std::function<void()> steps[] = {
      [&] { store_.SetFileName(file_); },  // the setter reloads too
      [&] { store_.RestoreValues(); },
      [&] { store_.SaveValues(); },
  };
  for (const auto& step : steps) {
    const std::u16string message = FailureOf(step);
    ASSERT_TRUE(message.starts_with(prefix)) << Utf16ToUtf8(message);
    EXPECT_GT(message.size(), prefix.size());
  }
  EXPECT_EQ(store_.ReadValue(kUdpPort), u"5");
}

TEST_F(StorageTest, MissingFolderFailsToCreate) {
  store_.SetFileName((folder_.path() / "missing" / "Setting.ini").u16string());
  store_.WriteValue(kUdpPort, 5);
  const std::u16string message = FailureOf([&] { store_.SaveValues(); });
  const std::u16string prefix =
      u"Cannot create file \"" + store_.FileName() + u"\". ";
  ASSERT_TRUE(message.starts_with(prefix)) << Utf16ToUtf8(message);
  EXPECT_GT(message.size(), prefix.size());
  EXPECT_EQ(store_.ReadValue(kUdpPort), u"5");
  EXPECT_EQ(folder_.Entries(), std::set<std::u16string>{});
}

// A save never leaves a half-written settings file: the new text goes to a
// temporary file that replaces the old one only once it is whole on disk.

constexpr char kOldFile[] = "[VmStored]\r\nUDPPORT=1\r\n";

TEST_F(StorageTest, SaveReplacesTheFileRatherThanRewritingIt) {
  WriteBytes(file_, kOldFile);
  const std::u16string earlier = folder_.File(u"earlier.ini");
  std::filesystem::create_hard_link(std::filesystem::path(file_),
                                    std::filesystem::path(earlier));
  Open();
  store_.WriteValue(kUdpPort, 2);
  store_.SaveValues();
  EXPECT_EQ(ReadBytes(earlier), kOldFile);
  EXPECT_NE(FileBytes().find("UDPPORT=2\r\n"), std::string::npos);
}

TEST_F(StorageTest, ShortWriteKeepsTheOldFileWhole) {
  WriteBytes(file_, kOldFile);
  Open();
  store_.WriteValue(kUdpPort, 2);
  store_.SetWriteStepForTesting([](OutputFile& file, std::string_view bytes) {
    return file.Write(bytes.substr(0, bytes.size() / 2));
  });
  const auto save = [&] { store_.SaveValues(); };
  EXPECT_EQ(FailureOf(save), u"Stream write error");
  EXPECT_EQ(FileBytes(), kOldFile);
  EXPECT_EQ(folder_.Entries(), std::set<std::u16string>{u"Setting.ini"});

  std::filesystem::remove(std::filesystem::path(file_));
  EXPECT_EQ(FailureOf(save), u"Stream write error");
  EXPECT_EQ(folder_.Entries(), std::set<std::u16string>{});
}

TEST_F(StorageTest, TemporaryFileThatCannotBeCreatedFailsForTheSettingsFile) {
  WriteBytes(file_, kOldFile);
  std::filesystem::create_directory(std::filesystem::path(file_ + u".tmp"));
  Open();
  const std::u16string message = FailureOf([&] { store_.SaveValues(); });
  EXPECT_TRUE(message.starts_with(u"Cannot create file \"" + file_ + u"\". "))
      << Utf16ToUtf8(message);
  EXPECT_EQ(FileBytes(), kOldFile);
}

// A file that is not UTF-8 reads as empty, but its bytes are not lost to the
// first save over it.

constexpr char kWindows1254File[] = "[VmStored]\r\nIPNO=\xFE\r\nCOMPORT=4\r\n";

TEST_F(StorageTest, UndecodableFileIsKeptBesideBeforeTheFirstSave) {
  WriteBytes(file_, kWindows1254File);
  Open();
  EXPECT_EQ(store_.ReadValue(kComPort), u"1");
  ASSERT_TRUE(store_.FileEncodingProblem());
  EXPECT_EQ(store_.FileEncodingProblem()->kind,
            EncodingProblem::Kind::kNotUtf8);
  store_.SaveValues();
  const std::u16string copy = file_ + u".bak";
  EXPECT_EQ(ReadBytes(copy), kWindows1254File);
  EXPECT_EQ(FileBytes(),
            std::string(kBom) + "[VmStored]\r\n" + kCatalogueLines + "\r\n");

  // The file the save wrote reads as text.
  store_.RestoreValues();
  EXPECT_FALSE(store_.FileEncodingProblem());
  store_.WriteValue(kComPort, 2);
  store_.SaveValues();
  EXPECT_EQ(ReadBytes(copy), kWindows1254File);
  EXPECT_EQ(folder_.Entries(),
            (std::set<std::u16string>{u"Setting.ini", u"Setting.ini.bak"}));
}

TEST_F(StorageTest, AnEarlierCopyIsNotOverwritten) {
  const std::u16string copy = file_ + u".bak";
  WriteBytes(copy, "earlier copy");
  WriteBytes(file_, std::string("\xFF\xFE[\0V\0", 6));  // UTF-16
  Open();
  store_.SaveValues();
  EXPECT_EQ(ReadBytes(copy), "earlier copy");
  EXPECT_EQ(folder_.Entries(),
            (std::set<std::u16string>{u"Setting.ini", u"Setting.ini.bak"}));
}

TEST_F(StorageTest, CopyThatCannotBeWrittenStopsTheSave) {
  WriteBytes(file_, kWindows1254File);
  std::filesystem::create_directory(std::filesystem::path(file_ + u".bak.tmp"));
  Open();
  const std::u16string message = FailureOf([&] { store_.SaveValues(); });
  EXPECT_TRUE(
      message.starts_with(u"Cannot create file \"" + file_ + u".bak\". "))
      << Utf16ToUtf8(message);
  EXPECT_EQ(FileBytes(), kWindows1254File);
}

}  // namespace
}  // namespace orvanta
