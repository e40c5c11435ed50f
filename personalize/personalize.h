// kobax-personalize: issues personalised launchers, KEY$user$password$.exe,
// with names that the launcher is sure to read back as given.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace kobax {

struct LauncherRequest {
  std::string ProductKey;
  std::string UserName;
  std::string Password;
  friend bool operator==(const LauncherRequest&, const LauncherRequest&) = default;
};

// Why the request cannot make a launcher that works, one reason per fault;
// empty when it can. Checks the product key against the catalogue (naming a
// near miss in letter case or blanks), empty fields, '$', characters
// Windows forbids in file names, invalid UTF-8 and the length of the name.
std::vector<std::string> CheckRequest(const LauncherRequest& request);

// A warning for a name long enough that the launcher's path passes 260
// characters in a typical Downloads folder, where old Windows and some
// tools cannot start it.
std::optional<std::string> LengthWarning(std::string_view fileName);

// "KEY$user$password$.exe". Only meaningful for a request CheckRequest
// accepts.
std::string PersonalizedName(const LauncherRequest& request);

// One data row of a CSV batch, with the line it starts on.
struct BatchRow {
  int line = 0;
  LauncherRequest request;
};

// Reads a batch: UTF-8 (a byte-order mark is skipped), header
// "product,user,password", RFC 4180 quoting, CR LF or LF line ends.
// Checks every row, and that no two rows give the same file name.
// Returns the rows, or every fault as "line N: reason" in `errors`.
std::vector<BatchRow> ReadBatch(std::string_view csv, std::vector<std::string>& errors);

// The whole tool: parses `arguments`, issues the launchers through
// `platform`, reports on its output streams. Returns the exit code: 0 done,
// 1 refused or failed (nothing written), 2 a usage error.
int RunPersonalize(Platform& platform, const std::vector<std::string>& arguments);

}  // namespace kobax
