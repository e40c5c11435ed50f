// The POSIX platform layer, run for real in a scratch folder.
#include "platform/platform_posix.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "platform/platform.h"
#include "scratch_folder.h"

namespace kobax {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

class PosixPlatformTest : public ::testing::Test {
 protected:
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(scratch)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::uint32_t WriteErrorCode(const fs::path& path, std::string_view content) {
    try {
      platform->WriteFileAtomically(path.string(), content, /*replaceExisting=*/true);
    } catch (const IoError& error) {
      return error.Code();
    }
    return 0;
  }

  ScratchFolder folder;
  const fs::path& scratch = folder.Path();
  std::unique_ptr<Platform> platform = CreatePlatform();
};

TEST_F(PosixPlatformTest, ReplacesAFileWithExactlyTheNewContent) {
  const fs::path file = scratch / "КОВАХ 8.rdp";
  platform->WriteFileAtomically(file.string(), std::string(5000, 'x'), /*replaceExisting=*/true);
  platform->WriteFileAtomically(file.string(), "a\r\nb\r\n", /*replaceExisting=*/true);
  EXPECT_EQ("a\r\nb\r\n", ReadFile(file));
  EXPECT_EQ(std::vector<std::string>{"КОВАХ 8.rdp"}, Entries());
}

TEST_F(PosixPlatformTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
  const fs::path file = scratch / "old.rdp";
  platform->WriteFileAtomically(file.string(), "old\r\n", /*replaceExisting=*/true);

  // A file size limit makes the write itself fail half-way, even for root.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved));
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
  const std::uint32_t code = WriteErrorCode(file, std::string(1000, 'n'));
  ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &saved));

  EXPECT_EQ(223U, code);  // ERROR_FILE_TOO_LARGE
  EXPECT_EQ("old\r\n", ReadFile(file));
  EXPECT_EQ(std::vector<std::string>{"old.rdp"}, Entries());
}

TEST_F(PosixPlatformTest, KeepsAnExistingFileUnlessAskedToReplaceIt) {
  const fs::path file = scratch / "copy.exe";
  platform->WriteFileAtomically(file.string(), "first", /*replaceExisting=*/false);
  std::uint32_t code = 0;
  try {
    platform->WriteFileAtomically(file.string(), "second", /*replaceExisting=*/false);
  } catch (const IoError& error) {
    code = error.Code();
  }
  EXPECT_EQ(80U, code);  // ERROR_FILE_EXISTS
  EXPECT_EQ("first", platform->ReadFile(file.string()));
  EXPECT_EQ(std::vector<std::string>{"copy.exe"}, Entries());
  EXPECT_TRUE(platform->FileExists(file.string()));
  EXPECT_FALSE(platform->FileExists((scratch / "other").string()));
}

TEST_F(PosixPlatformTest, ReportsWindowsErrorCodes) {
  fs::create_directory(scratch / "folder.rdp");
  std::ofstream(scratch / "plain") << "x";
  EXPECT_EQ(5U, WriteErrorCode(scratch / "folder.rdp", "x"));  // a folder in the way
  EXPECT_EQ(3U, WriteErrorCode(scratch / "missing" / "x.rdp", "x"));
  EXPECT_EQ(3U, WriteErrorCode(scratch / "plain" / "x.rdp", "x"));
  std::uint32_t readCode = 0;
  try {
    platform->ReadFile((scratch / "absent").string());
  } catch (const IoError& error) {
    readCode = error.Code();
  }
  EXPECT_EQ(2U, readCode);
  EXPECT_EQ((std::vector<std::string>{"folder.rdp", "plain"}), Entries());
}

TEST(WindowsErrorFromErrno, MapsOntoTheMessageTable) {
  struct Case {
    int error;
    std::uint32_t code;
  };
  const Case cases[] = {{EACCES, 5}, {EPERM, 5},   {EROFS, 5},   {ENOENT, 2},
                        {ENOTDIR, 3}, {EMFILE, 4}, {ENFILE, 4}, {ENOSPC, 112},
                        {EDQUOT, 112}, {EIO, 1117}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    EXPECT_EQ(c.code, WindowsErrorFromErrno(c.error));
  }
}

TEST_F(PosixPlatformTest, WaitsForTheProgramToEnd) {
  const fs::path marker = scratch / "marker";
  const auto start = std::chrono::steady_clock::now();
  // The parameter text is split by the Windows rules: the script is one
  // argument despite its blanks.
  platform->RunHiddenAndWait("sh", " -c \"sleep 0.3; echo done > '" + marker.string() + "'; exit 3\"");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_EQ("done\n", ReadFile(marker));
}

TEST_F(PosixPlatformTest, PassesTheArgumentsTheWindowsRulesGive) {
  const fs::path out = scratch / "args";
  platform->RunHiddenAndWait(
      "sh", " -c \"printf '%s|' \\\"$@\\\" > '" + out.string() + "'\" sh \"a b\" c\\\"d");
  EXPECT_EQ("a b|c\"d|", ReadFile(out));
}

TEST_F(PosixPlatformTest, AMissingProgramReturnsAtOnce) {
  const auto start = std::chrono::steady_clock::now();
  platform->RunHiddenAndWait("kobax-no-such-program", " x");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(PosixPlatformTest, FindsTheDesktop) {
  const char* savedXdg = std::getenv("XDG_DESKTOP_DIR");
  const std::string saved = savedXdg ? savedXdg : "";
  setenv("XDG_DESKTOP_DIR", "/srv/Рабочий стол", 1);
  EXPECT_EQ("/srv/Рабочий стол", platform->GetDesktopFolder());
  unsetenv("XDG_DESKTOP_DIR");
  const char* home = std::getenv("HOME");
  ASSERT_NE(nullptr, home);
  EXPECT_EQ(std::string(home) + "/Desktop", platform->GetDesktopFolder());
  if (savedXdg != nullptr) {
    setenv("XDG_DESKTOP_DIR", saved.c_str(), 1);
  }
}

TEST_F(PosixPlatformTest, NamesItsOwnExecutable) {
  EXPECT_EQ("kobax-tests", fs::path(platform->GetOwnFileName()).filename());
}

}  // namespace
}  // namespace kobax
