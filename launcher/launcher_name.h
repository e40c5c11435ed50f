// The launcher's file name, its only input: KEY$user$password$<tail>.
#pragma once

#include <string>
#include <string_view>

namespace kobax {

struct LauncherName {
  std::string ProductKey;
  std::string UserName;
  std::string Password;

  friend bool operator==(const LauncherName&, const LauncherName&) = default;
};

// The last component of a full path: everything after its last backslash,
// slash or colon, or the whole path when it holds none of them. Windows
// accepts '/' as a separator too, and no file name can contain it.
std::string_view LastPathComponent(std::string_view path);

// Splits a launcher file name at its first three '$'. A field whose
// separator is missing is empty, so a name with fewer than three '$' has an
// empty password and one without '$' gives three empty fields. Everything
// after the third '$' (".exe", " (2).exe") is ignored. Never fails.
LauncherName ParseLauncherName(std::string_view name);

}  // namespace kobax
