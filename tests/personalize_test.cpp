// kobax-personalize: which requests it refuses and why, the CSV batch, and
// the guarantee that the launcher reads a produced name back as given.
#include "personalize/personalize.h"

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "launcher/command_line.h"
#include "launcher/launcher.h"
#include "launcher/launcher_name.h"

namespace kobax {
namespace {

using Strings = std::vector<std::string>;

TEST(CheckRequest, AcceptsWhatTheLauncherCanRead) {
  for (const LauncherRequest& request : std::vector<LauncherRequest>{
           {"KOBAX_8", "anna", "secret"},
           {"KOBAX_VEL_ZU_ Online", "Анна Петрова", "пароль с пробелом"},
           {"KOBAX_8_", "a", "b"},
           {"KOBAX_TM", "user.name-1", "p@ss#word%&(1)!"},
           {"KOBAX_TM", "🙂", std::string(230, 'p')},  // 255 characters in all
       }) {
    SCOPED_TRACE(PersonalizedName(request));
    EXPECT_EQ(Strings{}, CheckRequest(request));
  }
}

TEST(CheckRequest, RefusesWithAReasonForEachFault) {
  const std::string listed =
      "\"KOBAX_8\", \"KOBAX_8_Online\", \"KOBAX_8_\", \"KOBAX_TM\", \"KOBAX_TM_Free\", "
      "\"KOBAX_TM_Online\", \"KOBAX_VEL_ZU\", \"KOBAX_VEL_ZU_ Online\", \"KOBAX_VEL_TN\"";
  struct Case {
    LauncherRequest request;
    Strings problems;
  };
  const Case cases[] = {
      {{"KOBAX_9", "anna", "pw"}, {"unknown product key \"KOBAX_9\"; the listed keys are " + listed}},
      {{"", "anna", "pw"}, {"unknown product key \"\"; the listed keys are " + listed}},
      {{"kobax_tm", "anna", "pw"},
       {"product key \"kobax_tm\" differs from the listed key \"KOBAX_TM\" only in letter case or blanks"}},
      {{"KOBAX_VEL_ZU_Online", "anna", "pw"},
       {"product key \"KOBAX_VEL_ZU_Online\" differs from the listed key \"KOBAX_VEL_ZU_ Online\" only in "
        "letter case or blanks"}},
      {{"KOBAX_8", "", ""}, {"the user name is empty", "the password is empty"}},
      {{"KOBAX_8", "an$na", "pw"},
       {"the user name contains '$', which separates the parts of the launcher's name"}},
      {{"KOBAX_8", "anna", "p$w"}, {"the password contains '$', which separates the parts of the launcher's name"}},
      {{"KOBAX_8", "anna", "a/b"}, {"the password contains '/', which Windows does not allow in file names"}},
      {{"KOBAX_8", "dom\\anna", "pw"},
       {"the user name contains '\\', which Windows does not allow in file names"}},
      {{"KOBAX_8", "anna", "x:y"}, {"the password contains ':', which Windows does not allow in file names"}},
      {{"KOBAX_8", "anna", "p\"w"}, {"the password contains '\"', which Windows does not allow in file names"}},
      {{"KOBAX_8", "a*?", "pw"}, {"the user name contains '*', which Windows does not allow in file names"}},
      {{"KOBAX_8", "<a>", "|"},
       {"the user name contains '<', which Windows does not allow in file names",
        "the password contains '|', which Windows does not allow in file names"}},
      {{"KOBAX_8", "anna", "p\tw"},
       {"the password contains the control character 0x09, which Windows does not allow in file names"}},
      {{"KOBAX_8", "\xD0", "pw"}, {"the user name is not valid UTF-8 text"}},
      {{"KOBAX_8", "anna", "\xC0\xAF"}, {"the password is not valid UTF-8 text"}},  // overlong '/'
      {{"KOBAX_8", "anna", std::string(245, 'p')},
       {"the launcher's name would be 263 characters long; Windows allows 255"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.request.UserName + " / " + c.request.Password);
    EXPECT_EQ(c.problems, CheckRequest(c.request));
  }
}

TEST(LengthWarning, WarnsWhenATypicalDownloadPathPasses260) {
  EXPECT_EQ(std::nullopt, LengthWarning("KOBAX_8$anna$secret$.exe"));
  EXPECT_EQ(std::nullopt, LengthWarning(std::string(216, 'x')));  // 40 + 216 + " (1)" = 260
  EXPECT_NE(std::nullopt, LengthWarning(std::string(217, 'x')));
  EXPECT_NE(std::nullopt, LengthWarning(std::string(217, 'x')));
}

// The launcher, given the produced name (also as a browser renames a
// repeated download), must find exactly the key, user name and password.
TEST(PersonalizedName, ReadsBackThroughTheLauncher) {
  for (const LauncherRequest& request : std::vector<LauncherRequest>{
           {"KOBAX_8", "anna", "secret"},
           {"KOBAX_VEL_ZU_ Online", "Анна Петрова", "пароль с пробелом"},
           {"KOBAX_8_", " lead", "trail "},
           {"KOBAX_TM_Free", "a.b", "..."},
           {"KOBAX_VEL_TN", "(1)", "x (2)"},
           {"KOBAX_TM", "user", "p@ss#word%&'!;=+[]{}~`^,"},
       }) {
    const std::string name = PersonalizedName(request);
    SCOPED_TRACE(name);
    ASSERT_EQ(Strings{}, CheckRequest(request));
    const std::string copy = name.substr(0, name.size() - 4) + " (1).exe";
    for (const std::string& fileName : {name, copy}) {
      EXPECT_EQ((LauncherName{request.ProductKey, request.UserName, request.Password}),
                ParseLauncherName(fileName));
    }
    // And through a whole run: cmdkey receives them as single arguments.
    FakePlatform platform;
    platform.ownFileName = "C:\\Users\\anna\\Downloads\\" + copy;
    EXPECT_EQ(0, RunLauncherProcess(platform, {}));
    ASSERT_EQ(4U, platform.log.size());
    const std::string store = "run cmdkey";
    const Strings arguments = SplitWindowsCommandLine(platform.log[1].substr(store.size()));
    ASSERT_EQ(3U, arguments.size());
    EXPECT_EQ("/user:" + request.UserName, arguments[1]);
    EXPECT_EQ("/pass:" + request.Password, arguments[2]);
  }
}

TEST(ReadBatch, ReadsStandardCsv) {
  std::vector<std::string> errors;
  const std::vector<BatchRow> rows = ReadBatch(
      "\xEF\xBB\xBFproduct,user,password\r\n"
      "KOBAX_8,anna,secret\r\n"
      "\r\n"
      "\"KOBAX_VEL_ZU_ Online\",\"Петров, Иван\",\"p w\"\r\n"
      "KOBAX_TM,olga,pw",
      errors);
  EXPECT_EQ(Strings{}, errors);
  ASSERT_EQ(3U, rows.size());
  EXPECT_EQ(2, rows[0].line);
  EXPECT_EQ((LauncherRequest{"KOBAX_VEL_ZU_ Online", "Петров, Иван", "p w"}), rows[1].request);
  EXPECT_EQ(4, rows[1].line);
  EXPECT_EQ(5, rows[2].line);
}

TEST(ReadBatch, ReportsEveryBadRowWithItsLine) {
  struct Case {
    const char* csv;
    Strings errors;
  };
  const Case cases[] = {
      {"user,product,password\nKOBAX_8,a,b\n", {"line 1: the header must be \"product,user,password\""}},
      {"", {"line 1: the header must be \"product,user,password\""}},
      {"product,user,password\n"
       "KOBAX_8,anna,secret\n"
       "KOBAX_8,anna\n"
       "KOBAX_8,\"multi\nline\",pw\n"
       "kobax_8,boris,pw\n"
       "KOBAX_8,ANNA,other\n"
       "KOBAX_8,anna,secret\n"
       "KOBAX_8,zoe,\"a\"\"b\"\n",
       {"line 3: expected 3 fields (product, user, password), found 2",
        "line 4: the user name contains the control character 0x0A, which Windows does not allow in file names",
        "line 6: product key \"kobax_8\" differs from the listed key \"KOBAX_8\" only in letter case or blanks",
        "line 8: gives the same file name as line 2",
        "line 9: the password contains '\"', which Windows does not allow in file names"}},
      {"product,user,password\nKOBAX_8,\"anna,pw\n", {"line 2: a quoted field is not closed"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.csv);
    std::vector<std::string> errors;
    ReadBatch(c.csv, errors);
    EXPECT_EQ(c.errors, errors);
  }
}

class PersonalizeTool : public ::testing::Test {
 protected:
  PersonalizeTool() {
    platform.files["launcher.exe"] = std::string("MZ\0\x90launcher", 12);
  }
  int Run(const Strings& arguments) { return RunPersonalize(platform, arguments); }
  FakePlatform platform;
};

TEST_F(PersonalizeTool, WritesAByteIdenticalCopyAndPrintsItsPath) {
  const Strings issue = {"--launcher", "launcher.exe", "--product", "KOBAX_8", "--user", "Анна", "--password=p w",
                         "--out", "out"};
  EXPECT_EQ(1, Run(issue));
  EXPECT_EQ("kobax-personalize: the output folder out does not exist\n", platform.errors);
  platform.errors.clear();
  platform.folders.insert("out");
  EXPECT_EQ(0, Run({"--launcher", "launcher.exe", "--product", "KOBAX_8", "--user", "Анна", "--password=p w",
                    "--out", "out"}));
  EXPECT_EQ("out\\KOBAX_8$Анна$p w$.exe\n", platform.output);
  EXPECT_EQ(platform.files["launcher.exe"], platform.files["out\\KOBAX_8$Анна$p w$.exe"]);
  EXPECT_EQ("", platform.errors);
}

TEST_F(PersonalizeTool, ReplacesAnExistingCopyOnlyWithForce) {
  platform.files["KOBAX_8$anna$pw$.exe"] = "old";
  const Strings issue = {"--launcher", "launcher.exe", "--product", "KOBAX_8", "--user", "anna", "--password", "pw"};
  EXPECT_EQ(1, Run(issue));
  EXPECT_EQ("old", platform.files["KOBAX_8$anna$pw$.exe"]);
  EXPECT_EQ("kobax-personalize: KOBAX_8$anna$pw$.exe exists; --force replaces it\n"
            "kobax-personalize: nothing written\n",
            platform.errors);
  Strings forced = issue;
  forced.emplace_back("--force");
  EXPECT_EQ(0, Run(forced));
  EXPECT_EQ(platform.files["launcher.exe"], platform.files["KOBAX_8$anna$pw$.exe"]);
}

TEST_F(PersonalizeTool, ABatchWithOneBadRowWritesNothing) {
  platform.files["users.csv"] = "product,user,password\nKOBAX_8,anna,pw\nKOBAX_8,bo$ris,pw\nKOBAX_TM,olga,pw\n";
  const auto before = platform.files;
  EXPECT_EQ(1, Run({"--launcher", "launcher.exe", "--csv", "users.csv"}));
  EXPECT_EQ(before, platform.files);
  EXPECT_EQ("users.csv: line 3: the user name contains '$', which separates the parts of the launcher's name\n"
            "kobax-personalize: nothing written\n",
            platform.errors);

  platform.files["users.csv"] = "product,user,password\nKOBAX_8,anna,pw\nKOBAX_TM,olga,pw\n";
  platform.folders.insert("d");
  EXPECT_EQ(0, Run({"--launcher", "launcher.exe", "--csv", "users.csv", "--out", "d"}));
  EXPECT_EQ("d\\KOBAX_8$anna$pw$.exe\nd\\KOBAX_TM$olga$pw$.exe\n", platform.output);
  EXPECT_EQ(platform.files["launcher.exe"], platform.files["d\\KOBAX_TM$olga$pw$.exe"]);
}

TEST_F(PersonalizeTool, NamesWithoutWriting) {
  EXPECT_EQ(0, Run({"--product", "KOBAX_TM", "--user", "olga", "--password", "pw", "--name-only"}));
  EXPECT_EQ("KOBAX_TM$olga$pw$.exe\n", platform.output);
  EXPECT_EQ(1U, platform.files.size());
}

TEST_F(PersonalizeTool, WarnsAboutLongNamesButIssuesThem) {
  EXPECT_EQ(0, Run({"--product", "KOBAX_TM", "--user", "olga", "--password", std::string(200, 'p'),
                    "--name-only"}));
  EXPECT_TRUE(platform.errors.starts_with("kobax-personalize: warning: the launcher's name is 219 characters"));
}

TEST_F(PersonalizeTool, RefusesUsageErrors) {
  const Strings cases[] = {
      {},
      {"--product", "KOBAX_8"},  // no user, password or launcher
      {"--csv", "x.csv", "--product", "KOBAX_8", "--user", "a", "--password", "b", "--name-only"},
      {"--product", "KOBAX_8", "--user", "a", "--password", "b"},  // neither --launcher nor --name-only
      {"--bogus"},
      {"--user"},
      {"--name-only=yes"},
      {"--user", "a", "--user", "b"},
  };
  for (const Strings& arguments : cases) {
    SCOPED_TRACE(arguments.empty() ? "(none)" : arguments[0]);
    platform.errors.clear();
    EXPECT_EQ(2, Run(arguments));
    EXPECT_NE(std::string::npos, platform.errors.find("Usage:"));
  }
  EXPECT_EQ(1U, platform.files.size());
}

TEST_F(PersonalizeTool, ListsTheCatalogue) {
  EXPECT_EQ(0, Run({"--list-products"}));
  EXPECT_TRUE(platform.output.starts_with("KOBAX_8\tКОВАХ 8\t"));
  EXPECT_EQ(9, std::count(platform.output.begin(), platform.output.end(), '\n'));
}

}  // namespace
}  // namespace kobax
