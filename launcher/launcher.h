// One run of the launcher: identify the product from the file name, store
// the credentials, write the connection file, run the client.
#pragma once

#include <string_view>

#include "platform/platform.h"
#include "profiles/launch_record.h"

namespace kobax {

inline constexpr std::string_view kMessageCaption = "Удаленное подключение";
// The line break is LF then CR, as the launcher has always shown it.
inline constexpr std::string_view kRenameMessage =
    "Пожалуйста не переименовывайте файл!\n\rСкачайте файл заново.";

// Options fixed when the launcher is built.
struct BuildSwitches {
  // After the client has ended, also write a connection file for the
  // project application on server 4.
  bool ExtraProjectProfile1 = false;
  // After that, also write one for the project application on server 1;
  // both share a display name, so this one replaces the first.
  bool ExtraProjectProfile2 = false;
};

// The switches this build was configured with.
BuildSwitches ShippedBuildSwitches();

// "Для подключения используйте имя пользователя - USER и пароль PASSWORD".
std::string CredentialsMessage(const LaunchRecord& record);

// Fills `record` from the executable's file name and the catalogue. A name
// that does not give a known product, a user name and a password only shows
// the rename message; otherwise RunConnection follows. Throws IoError.
void RunLauncher(Platform& platform, LaunchRecord& record,
                 const BuildSwitches& switches);

// For a complete record: shows (Windows below 6) or stores (cmdkey) the
// credentials, writes the connection file, runs the client and waits for
// it, then writes the extra project files the switches ask for. Throws
// IoError, and then no later step has run.
void RunConnection(Platform& platform, LaunchRecord& record,
                   const BuildSwitches& switches);

// The whole process: RunLauncher on an empty record, a file-operation
// failure turned into the fatal-error box. Returns the exit code: 0, or 1
// after a fatal error.
int RunLauncherProcess(Platform& platform, const BuildSwitches& switches);

}  // namespace kobax
