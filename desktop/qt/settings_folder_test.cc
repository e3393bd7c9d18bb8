#include "desktop/qt/settings_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <string>

#include <gtest/gtest.h>

namespace orvanta {
namespace {

TEST(SettingsFolderTest, BesideTheProgramWhenWritableElseTheUsersConfig) {
  struct Case {
    std::string exe;
    bool writable;
    std::map<std::string, std::string> env;
    std::string folder;
  };
  const Case cases[] = {
      {"/home/u/orvanta/build/",
       true,
       {{"HOME", "/home/u"}},
       "/home/u/orvanta/build/"},
      {"/opt/orvanta/",
       false,
       {{"HOME", "/home/u"}},
       "/home/u/.config/orvanta/"},
      {"/opt/orvanta/",
       false,
       {{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "/cfg/"}},
       "/cfg/orvanta/"},
      {"/opt/orvanta/",
       false,
       {{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "/cfg"}},
       "/cfg/orvanta/"},
      // A relative XDG_CONFIG_HOME is to be ignored.
      {"/opt/orvanta/",
       false,
       {{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "cfg"}},
       "/home/u/.config/orvanta/"},
      // Installed programs keep out of bin folders even when root may write
      // there.
      {"/usr/bin/", true, {{"HOME", "/root"}}, "/root/.config/orvanta/"},
      {"/usr/local/bin/", true, {{"HOME", "/root"}}, "/root/.config/orvanta/"},
  };
  for (const Case& c : cases) {
    const std::string folder = ChooseSettingsFolder(
        {c.exe, [&](const std::string& f) { return f == c.exe && c.writable; },
         [&](const char* name) -> const char* {
           auto it = c.env.find(name);
           return it == c.env.end() ? nullptr : it->second.c_str();
         }});
    EXPECT_EQ(folder, c.folder) << c.exe;
  }
}

TEST(SettingsFolderTest, MakeFolderCreatesTheMissingParents) {
  char base[] = "/tmp/orvanta-folder-XXXXXX";
  ASSERT_NE(mkdtemp(base), nullptr);
  const std::string folder = std::string(base) + "/.config/orvanta/";
  CreateSettingsFolder(folder);
  struct stat info {};
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  CreateSettingsFolder(folder);  // already there: nothing to do
  rmdir(folder.c_str());
  rmdir((std::string(base) + "/.config").c_str());
  rmdir(base);
}

}  // namespace
}  // namespace orvanta
