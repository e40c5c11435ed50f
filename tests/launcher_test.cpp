// The whole run against the recording platform: what the launcher does, in
// which order, for valid and defective names, old Windows, the build
// switches and failing file operations.
#include "launcher/launcher.h"

#include <gtest/gtest.h>

#include "deployment.h"
#include "fake_platform.h"
#include "profiles/catalogue.h"
#include "profiles/connection_file.h"

namespace kobax {
namespace {

using Log = std::vector<std::string>;

const std::string kRename =
    "message Удаленное подключение: Пожалуйста не переименовывайте файл!\n\rСкачайте файл заново.";
const std::string kDesktop = "C:\\Users\\anna\\Desktop\\";

class LauncherTest : public ::testing::Test {
 protected:
  int Run(const std::string& fileName, BuildSwitches switches = {}) {
    platform.ownFileName = "C:\\Users\\anna\\Downloads\\" + fileName;
    return RunLauncherProcess(platform, switches);
  }

  static std::string ExpectedFile(std::string_view key) {
    LaunchRecord record{.AppAlias = std::string(key)};
    ResolveProduct(record);
    return ConnectionFileText(record);
  }

  FakePlatform platform;
};

TEST_F(LauncherTest, StoresCredentialsWritesTheFileAndRunsTheClient) {
  const std::string server1(kServer1);
  EXPECT_EQ(0, Run("KOBAX_8$anna$secret$.exe"));
  EXPECT_EQ((Log{"run cmdkey /delete:termsrv/" + server1,
                 "run cmdkey /generic:termsrv/" + server1 + " /user:anna /pass:secret",
                 "write " + kDesktop + "КОВАХ 8.rdp",
                 "run mstsc \"" + kDesktop + "КОВАХ 8.rdp\""}),
            platform.log);
  EXPECT_EQ((std::map<std::string, std::string>{{kDesktop + "КОВАХ 8.rdp", ExpectedFile("KOBAX_8")}}),
            platform.files);
}

TEST_F(LauncherTest, TakesCopyNumberedBlankAndCyrillicNamesVerbatim) {
  const std::string server2(kServer2);
  EXPECT_EQ(0, Run("KOBAX_VEL_TN$Анна Петрова$пароль 1$ (2).exe"));
  EXPECT_EQ((Log{"run cmdkey /delete:termsrv/" + server2,
                 "run cmdkey /generic:termsrv/" + server2 +
                     " /user:\"Анна Петрова\" /pass:\"пароль 1\"",
                 "write " + kDesktop + "КОВАХ ВЕЛ ТМ.rdp",
                 "run mstsc \"" + kDesktop + "КОВАХ ВЕЛ ТМ.rdp\""}),
            platform.log);
}

TEST_F(LauncherTest, ShowsTheCredentialsBeforeWindowsMajorVersion6) {
  // 0 is what a failed version query gives.
  for (const int version : {5, 0}) {
    SCOPED_TRACE(version);
    platform.log.clear();
    platform.osMajorVersion = version;
    EXPECT_EQ(0, Run("KOBAX_TM$anna$secret$.exe"));
    EXPECT_EQ((Log{"message Удаленное подключение: Для подключения используйте имя "
                   "пользователя - anna и пароль secret",
                   "write " + kDesktop + "KOBAX TM.rdp", "run mstsc \"" + kDesktop + "KOBAX TM.rdp\""}),
              platform.log);
  }
}

TEST_F(LauncherTest, StoresTheCredentialsFromMajorVersion6On) {
  platform.osMajorVersion = 6;
  EXPECT_EQ(0, Run("KOBAX_TM$anna$secret$.exe"));
  ASSERT_EQ(4U, platform.log.size());
  EXPECT_EQ("run cmdkey /delete:termsrv/" + std::string(kServer2), platform.log[0]);
}

TEST_F(LauncherTest, DefectiveNamesOnlyShowTheRenameMessage) {
  for (const char* name : {
           "KOBAX_8$anna$secret.exe",         // two '$' only
           "KOBAX_8 anna secret.exe",         // none
           "$anna$secret$.exe",               // empty product key
           "KOBAX_8$$secret$.exe",            // empty user name
           "KOBAX_8$anna$$.exe",              // empty password
           "kobax_8$anna$secret$.exe",        // letter case
           "KOBAX_VEL_ZU_Online$anna$secret$.exe",  // row 8's key without its blank
           "KOBAX_9$anna$secret$.exe",        // unlisted
           "KOBAX_8(1)$anna$secret$.exe",     // renamed
       }) {
    SCOPED_TRACE(name);
    platform.log.clear();
    EXPECT_EQ(0, Run(name));
    EXPECT_EQ(Log{kRename}, platform.log);
    EXPECT_TRUE(platform.files.empty());
  }
}

TEST_F(LauncherTest, ParsesOnlyTheLastPathComponent) {
  platform.ownFileName = "C:\\x$y$z$\\KOBAX_8.exe";
  EXPECT_EQ(0, RunLauncherProcess(platform, {}));
  EXPECT_EQ(Log{kRename}, platform.log);

  platform.log.clear();
  platform.ownFileName = "C:\\a$b$c$\\KOBAX_8$anna$secret$.exe";
  EXPECT_EQ(0, RunLauncherProcess(platform, {}));
  EXPECT_EQ(4U, platform.log.size());
}

TEST_F(LauncherTest, ExtraProjectProfilesAreWrittenAfterTheClientEnds) {
  struct Case {
    BuildSwitches switches;
    std::vector<std::string_view> projectServers;  // in the order written
  };
  const Case cases[] = {
      {{.ExtraProjectProfile1 = true, .ExtraProjectProfile2 = false}, {kServer4}},
      {{.ExtraProjectProfile1 = false, .ExtraProjectProfile2 = true}, {kServer1}},
      {{.ExtraProjectProfile1 = true, .ExtraProjectProfile2 = true}, {kServer4, kServer1}},
  };
  const std::string project = kDesktop + "MSProject Online.rdp";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.projectServers.size());
    platform = FakePlatform{};
    EXPECT_EQ(0, Run("KOBAX_8$anna$secret$.exe", c.switches));
    Log expected{"run cmdkey /delete:termsrv/" + std::string(kServer1),
                 "run cmdkey /generic:termsrv/" + std::string(kServer1) +
                     " /user:anna /pass:secret",
                 "write " + kDesktop + "КОВАХ 8.rdp", "run mstsc \"" + kDesktop + "КОВАХ 8.rdp\""};
    expected.insert(expected.end(), c.projectServers.size(), "write " + project);
    EXPECT_EQ(expected, platform.log);

    const LaunchRecord last{.AppAlias = "MSProj",
                            .DisplayName = "MSProject Online",
                            .ServerHost = std::string(c.projectServers.back()),
                            .ServerPort = "3397"};
    EXPECT_EQ(ConnectionFileText(last), platform.files[project]);
    EXPECT_EQ(ExpectedFile("KOBAX_8"), platform.files[kDesktop + "КОВАХ 8.rdp"]);
  }
}

TEST_F(LauncherTest, AFailedWriteEndsTheRunBeforeTheClientStarts) {
  struct Case {
    std::uint32_t code;
    const char* message;
  };
  const Case cases[] = {{5, "File access denied."}, {112, "I/O error 112."}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    platform = FakePlatform{};
    platform.writeError = c.code;
    EXPECT_EQ(1, Run("KOBAX_8$anna$secret$.exe"));
    EXPECT_EQ((Log{"run cmdkey /delete:termsrv/" + std::string(kServer1),
                   "run cmdkey /generic:termsrv/" + std::string(kServer1) +
                       " /user:anna /pass:secret",
                   "fatal Exception EInOutError in module KOBAX_8$anna$secret$.exe at 00001A2B.\r\n" +
                       std::string(c.message) + "\r\n"}),
              platform.log);
  }
}

TEST_F(LauncherTest, AnUnknownDesktopEndsTheRunInsteadOfWritingElsewhere) {
  platform.desktopFolder.reset();
  platform.osMajorVersion = 5;
  EXPECT_EQ(1, Run("KOBAX_8$anna$secret$.exe"));
  ASSERT_EQ(2U, platform.log.size());
  EXPECT_EQ("fatal Exception EInOutError in module KOBAX_8$anna$secret$.exe at 00001A2B.\r\n"
            "Invalid filename.\r\n",
            platform.log[1]);
  EXPECT_TRUE(platform.files.empty());
}

TEST_F(LauncherTest, AFailedExtraProfileEndsTheRunAfterTheClient) {
  platform.writeError = 112;
  platform.writesBeforeFailure = 1;
  EXPECT_EQ(1, Run("KOBAX_8$anna$secret$.exe",
                   {.ExtraProjectProfile1 = true, .ExtraProjectProfile2 = true}));
  EXPECT_EQ((Log{"run cmdkey /delete:termsrv/" + std::string(kServer1),
                 "run cmdkey /generic:termsrv/" + std::string(kServer1) +
                     " /user:anna /pass:secret",
                 "write " + kDesktop + "КОВАХ 8.rdp", "run mstsc \"" + kDesktop + "КОВАХ 8.rdp\"",
                 std::string("fatal Exception EInOutError in module KOBAX_8$anna$secret$.exe at "
                             "00001A2B.\r\nI/O error 112.\r\n")}),
            platform.log);
}

}  // namespace
}  // namespace kobax
