// Command lines for the Windows tools the launcher starts, and the standard
// Windows rules for splitting a command line into arguments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "profiles/launch_record.h"

namespace kobax {

inline constexpr std::string_view kCredentialTool = "cmdkey";
inline constexpr std::string_view kRemoteDesktopClient = "mstsc";

// Makes `value` read back as exactly itself under SplitWindowsCommandLine.
// A value without blank, tab or '"' is returned unchanged unless `always`
// is set; otherwise it is put in double quotes, with the backslashes that
// precede a quote doubled and every '"' escaped.
std::string QuoteWindowsArgument(std::string_view value, bool always = false);

// Splits the arguments part of a Windows command line the way the
// Microsoft C runtime does for argv[1] onward: blanks and tabs separate
// arguments outside double quotes; 2n backslashes before '"' give n and the
// quote toggles quoting, 2n+1 give n and a literal '"'; other backslashes
// are literal; "" inside quotes gives a literal '"'.
std::vector<std::string> SplitWindowsCommandLine(std::string_view line);

// " /delete:termsrv/HOST": removes a stored credential for the server.
std::string RemoveCredentialParameters(const LaunchRecord& record);

// " /generic:termsrv/HOST /user:USER /pass:PASSWORD", the user name and
// password quoted where they would otherwise split or end early.
std::string StoreCredentialParameters(const LaunchRecord& record);

// " \"PATH\"": the connection file as the client's one argument.
std::string StartClientParameters(std::string_view connectionFilePath);

}  // namespace kobax
