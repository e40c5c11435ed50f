// A recording stand-in for the operating system: logs every call that acts
// on the world in order, and answers queries from scriptable fields.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace kobax {

class FakePlatform final : public Platform {
 public:
  // Scriptable answers.
  std::string ownFileName = "C:\\Users\\anna\\Downloads\\KOBAX_8$anna$secret$.exe";
  int osMajorVersion = 10;
  std::optional<std::string> desktopFolder = "C:\\Users\\anna\\Desktop";
  // When set, every WriteFileAtomically after the first writesBeforeFailure
  // fails with this Windows error code.
  std::optional<std::uint32_t> writeError;
  int writesBeforeFailure = 0;
  static constexpr std::uint32_t kFailurePlace = 0x1A2B;

  std::vector<std::string> arguments;

  // What happened, in order: "message CAPTION: TEXT", "run PROGRAM
  // PARAMETERS", "write PATH", "fatal TEXT".
  std::vector<std::string> log;
  // The content last written to each path (and the files there are to read).
  std::map<std::string, std::string> files;
  // Folders that exist (files need none).
  std::set<std::string> folders;
  // What was written to standard output and standard error.
  std::string output;
  std::string errors;

  std::string GetOwnFileName() override { return ownFileName; }
  int GetOsMajorVersion() override { return osMajorVersion; }

  void ShowInfoMessage(std::string_view caption, std::string_view text) override {
    log.push_back("message " + std::string(caption) + ": " + std::string(text));
  }

  std::string GetDesktopFolder() override {
    if (!desktopFolder) {
      throw IoError(3, kFailurePlace);
    }
    return *desktopFolder;
  }

  char PathSeparator() const override { return '\\'; }

  void RunHiddenAndWait(std::string_view program, std::string_view parameters) override {
    log.push_back("run " + std::string(program) + std::string(parameters));
  }

  void WriteFileAtomically(std::string_view path, std::string_view content,
                           bool replaceExisting) override {
    if (writeError && writesBeforeFailure-- <= 0) {
      throw IoError(*writeError, kFailurePlace);
    }
    if (!replaceExisting && files.count(std::string(path)) != 0) {
      throw IoError(80, kFailurePlace);
    }
    log.push_back("write " + std::string(path));
    files[std::string(path)] = std::string(content);
  }

  std::vector<std::string> GetArguments() override { return arguments; }

  std::string ReadFile(std::string_view path) override {
    const auto file = files.find(std::string(path));
    if (file == files.end()) {
      throw IoError(2, kFailurePlace);
    }
    return file->second;
  }

  bool FileExists(std::string_view path) override {
    return files.count(std::string(path)) != 0 || folders.count(std::string(path)) != 0;
  }

  void WriteOutput(std::string_view text, bool error) override {
    (error ? errors : output) += text;
  }

  void ReportFatalError(std::string_view text) override {
    log.push_back("fatal " + std::string(text));
  }
};

}  // namespace kobax
