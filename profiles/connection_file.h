// The Remote Desktop connection file that opens the record's RemoteApp.
#pragma once

#include <string>

#include "platform/platform.h"
#include "profiles/launch_record.h"

namespace kobax {

// DESKTOP, the platform's separator, DisplayName, ".rdp". Throws IoError
// when the Desktop folder cannot be determined.
std::string ConnectionFilePath(Platform& platform, const LaunchRecord& record);

// The file's 56 lines, each ended by CR LF. The port, the host and (three
// times) the alias come from the record; DisplayName appears in no line.
// An empty field leaves its line ending in ':' or "||".
std::string ConnectionFileText(const LaunchRecord& record);

// Replaces the file at ConnectionFilePath by ConnectionFileText. Throws
// IoError; the previous file then stays as it was.
void WriteConnectionFile(Platform& platform, const LaunchRecord& record);

}  // namespace kobax
