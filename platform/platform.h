// The launcher's whole contact with the operating system, in the launcher's
// own terms. One implementation per OS (platform_win32.cpp,
// platform_posix.cpp); tests substitute a recording fake. All text is UTF-8.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kobax {

// A failed file operation. Code is a Windows error code (ERROR_ACCESS_DENIED
// is 5, ERROR_DISK_FULL 112, ...) on every platform, so the fatal-error text
// reads the same everywhere. Place is where the failure happened, as an
// offset from the executable's load address.
class IoError {
 public:
  IoError(std::uint32_t code, std::uint32_t place) : code_(code), place_(place) {}
  std::uint32_t Code() const { return code_; }
  std::uint32_t Place() const { return place_; }

 private:
  std::uint32_t code_;
  std::uint32_t place_;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Full path of the running executable.
  virtual std::string GetOwnFileName() = 0;

  // Major version number of Windows (5 for XP, 6 for Vista to 8.1, 10 for
  // 10 and 11); 0 when it cannot be told.
  virtual int GetOsMajorVersion() = 0;

  // Shows an information message with one OK button; returns once the user
  // has closed it.
  virtual void ShowInfoMessage(std::string_view caption,
                               std::string_view text) = 0;

  // The current user's own Desktop folder, normally without a trailing
  // separator. Throws IoError when the folder cannot be determined.
  virtual std::string GetDesktopFolder() = 0;

  // The character that joins a folder and a file name.
  virtual char PathSeparator() const = 0;

  // Starts the system tool `program` (a bare name such as "cmdkey"; the
  // platform decides where it is looked up) with `parameters`, a command
  // line tail split into arguments by the standard Windows rules. Nothing
  // of it is shown. Returns once the program has ended, or at once when it
  // cannot be started; its exit code is not reported.
  virtual void RunHiddenAndWait(std::string_view program,
                                std::string_view parameters) = 0;

  // Makes the file at `path` hold exactly `content`. The content is
  // written to a temporary file in the same folder first, so a failure at
  // any step leaves the previous file (or no file) untouched and no
  // temporary file behind. An existing file is replaced only when
  // `replaceExisting` is set; otherwise it stays and the call fails with
  // ERROR_FILE_EXISTS (80). Throws IoError.
  virtual void WriteFileAtomically(std::string_view path, std::string_view content,
                                   bool replaceExisting) = 0;

  // The rest serves the command-line tools, not the launcher.

  // The program's command-line arguments, without the program name.
  virtual std::vector<std::string> GetArguments() = 0;

  // The whole content of a file. Throws IoError.
  virtual std::string ReadFile(std::string_view path) = 0;

  // Whether something (a file or a folder) exists at `path`.
  virtual bool FileExists(std::string_view path) = 0;

  // Writes `text` to standard output, or standard error when `error` is
  // set, so that it reads correctly on the terminal or console.
  virtual void WriteOutput(std::string_view text, bool error) = 0;

  // Shows the fatal-error box with `text` and returns once it is closed;
  // the caller then ends the process with exit code 1.
  virtual void ReportFatalError(std::string_view text) = 0;
};

// The implementation for the OS the executable is built for.
std::unique_ptr<Platform> CreatePlatform();

}  // namespace kobax
