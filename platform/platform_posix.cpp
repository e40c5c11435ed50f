// The platform layer on Linux and other POSIX systems, so that the native
// build runs for real: messages go to standard error, programs are found on
// PATH, the Desktop is the XDG one.
#include "platform/platform_posix.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "launcher/command_line.h"
#include "platform/platform.h"

namespace kobax {

std::uint32_t WindowsErrorFromErrno(int error) {
  switch (error) {
    case ENOENT: return 2;         // ERROR_FILE_NOT_FOUND
    case ENOTDIR: return 3;        // ERROR_PATH_NOT_FOUND
    case EMFILE:
    case ENFILE: return 4;         // ERROR_TOO_MANY_OPEN_FILES
    case EACCES:
    case EPERM:
    case EISDIR:                   // Windows denies access to a folder
    case EROFS: return 5;          // ERROR_ACCESS_DENIED
    case EBADF: return 6;          // ERROR_INVALID_HANDLE
    case ENOMEM: return 8;         // ERROR_NOT_ENOUGH_MEMORY
    case EEXIST: return 80;        // ERROR_FILE_EXISTS
    case EINVAL: return 87;        // ERROR_INVALID_PARAMETER
    case ENOSPC:
    case EDQUOT: return 112;       // ERROR_DISK_FULL
    case ENAMETOOLONG: return 206; // ERROR_FILENAME_EXCED_RANGE
    case EFBIG: return 223;        // ERROR_FILE_TOO_LARGE
    case EBUSY: return 32;         // ERROR_SHARING_VIOLATION
    default: return 1117;          // ERROR_IO_DEVICE
  }
}

namespace {

// The place of a failure: the return address into the failing operation,
// as an offset from the load address of the object that holds it.
[[gnu::noinline]] std::uint32_t CallerPlace(const void* returnAddress) {
  Dl_info info{};
  if (dladdr(returnAddress, &info) == 0 || info.dli_fbase == nullptr) {
    return 0;
  }
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(returnAddress) -
                                    reinterpret_cast<std::uintptr_t>(info.dli_fbase));
}

[[noreturn, gnu::noinline]] void ThrowIoError(int error) {
  throw IoError(WindowsErrorFromErrno(error),
                CallerPlace(__builtin_extract_return_addr(__builtin_return_address(0))));
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home != nullptr ? home : "";
}

// Writes all of `content`, resuming after short writes and interruptions.
bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

class PosixPlatform final : public Platform {
 public:
  std::string GetOwnFileName() override {
    std::array<char, 4096> buffer{};
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return length > 0 ? std::string(buffer.data(), static_cast<std::size_t>(length)) : "";
  }

  // The native build behaves as on a current Windows.
  int GetOsMajorVersion() override { return 10; }

  void ShowInfoMessage(std::string_view caption, std::string_view text) override {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                 static_cast<int>(text.size()), text.data());
  }

  std::string GetDesktopFolder() override {
    const char* xdg = std::getenv("XDG_DESKTOP_DIR");
    if (xdg != nullptr && *xdg != '\0') {
      return xdg;
    }
    const std::string home = HomeFolder();
    if (home.empty()) {
      ThrowIoError(ENOTDIR);
    }
    return home + "/Desktop";
  }

  char PathSeparator() const override { return '/'; }

  void RunHiddenAndWait(std::string_view program, std::string_view parameters) override {
    std::vector<std::string> arguments = SplitWindowsCommandLine(parameters);
    arguments.insert(arguments.begin(), std::string(program));
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    // Hidden: the program's standard streams lead nowhere.
    posix_spawn_file_actions_t actions{};
    posix_spawn_file_actions_init(&actions);
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
      posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0);
    }
    pid_t child = 0;
    const int started = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) {
      return;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }

  void WriteFileAtomically(std::string_view path, std::string_view content,
                           bool replaceExisting) override {
    const std::string target(path);
    const std::string temporary = target + "." + std::to_string(getpid()) + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
      // Creating a file fails with ENOENT only when its folder is missing.
      ThrowIoError(errno == ENOENT ? ENOTDIR : errno);
    }
    const auto fail = [&temporary](int error, int openFd) {
      if (openFd >= 0) {
        close(openFd);
      }
      unlink(temporary.c_str());
      ThrowIoError(error);
    };
    if (!WriteAll(fd, content) || fsync(fd) != 0) {
      fail(errno, fd);
    }
    if (close(fd) != 0) {
      fail(errno, -1);
    }
    // link() puts the file in place only where nothing is; rename()
    // replaces whatever is there. Both are atomic.
    if (replaceExisting ? rename(temporary.c_str(), target.c_str()) != 0
                        : link(temporary.c_str(), target.c_str()) != 0) {
      fail(errno, -1);
    }
    if (!replaceExisting) {
      unlink(temporary.c_str());
    }
  }

  std::vector<std::string> GetArguments() override {
    std::string all;
    try {
      all = ReadFile("/proc/self/cmdline");
    } catch (const IoError&) {
      return {};
    }
    std::vector<std::string> arguments;
    for (std::size_t start = 0, end = 0; (end = all.find('\0', start)) != std::string::npos; start = end + 1) {
      arguments.push_back(all.substr(start, end - start));
    }
    if (!arguments.empty()) {
      arguments.erase(arguments.begin());
    }
    return arguments;
  }

  std::string ReadFile(std::string_view path) override {
    const int fd = open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      ThrowIoError(errno);
    }
    std::string content;
    std::array<char, 65536> buffer{};
    while (true) {
      const ssize_t got = read(fd, buffer.data(), buffer.size());
      if (got == 0) {
        break;
      }
      if (got < 0) {
        if (errno == EINTR) {
          continue;
        }
        const int error = errno;
        close(fd);
        ThrowIoError(error);
      }
      content.append(buffer.data(), static_cast<std::size_t>(got));
    }
    close(fd);
    return content;
  }

  bool FileExists(std::string_view path) override {
    struct stat info {};
    return lstat(std::string(path).c_str(), &info) == 0;
  }

  void WriteOutput(std::string_view text, bool error) override {
    std::FILE* stream = error ? stderr : stdout;
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
  }

  void ReportFatalError(std::string_view text) override {
    std::fprintf(stderr, "Application Error: %.*s", static_cast<int>(text.size()), text.data());
  }
};

}  // namespace

std::unique_ptr<Platform> CreatePlatform() { return std::make_unique<PosixPlatform>(); }

}  // namespace kobax
