// Building and splitting Windows command lines.
#include "launcher/command_line.h"

#include <utility>

namespace kobax {

std::string QuoteWindowsArgument(std::string_view value, bool always) {
  if (!always && value.find_first_of(" \t\"") == std::string_view::npos) {
    return std::string(value);
  }
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : value) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      // Backslashes before a quote are halved by the reader, and the quote
      // itself needs one more to stay literal.
      quoted.append(backslashes * 2 + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    backslashes = 0;
    quoted += c;
  }
  // Trailing backslashes precede the closing quote.
  quoted.append(backslashes * 2, '\\');
  quoted += '"';
  return quoted;
}

std::vector<std::string> SplitWindowsCommandLine(std::string_view line) {
  std::vector<std::string> arguments;
  std::size_t i = 0;
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (true) {
    while (i < line.size() && isBlank(line[i])) {
      ++i;
    }
    if (i == line.size()) {
      break;
    }
    std::string argument;
    bool quoted = false;
    while (i < line.size() && (quoted || !isBlank(line[i]))) {
      if (line[i] == '\\') {
        std::size_t backslashes = 0;
        while (i < line.size() && line[i] == '\\') {
          ++backslashes;
          ++i;
        }
        if (i < line.size() && line[i] == '"') {
          argument.append(backslashes / 2, '\\');
          if (backslashes % 2 == 1) {
            argument += '"';
            ++i;
          }
        } else {
          argument.append(backslashes, '\\');
        }
      } else if (line[i] == '"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          argument += '"';
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        argument += line[i];
        ++i;
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

std::string RemoveCredentialParameters(const LaunchRecord& record) {
  return " /delete:termsrv/" + record.ServerHost;
}

std::string StoreCredentialParameters(const LaunchRecord& record) {
  return " /generic:termsrv/" + record.ServerHost +
         " /user:" + QuoteWindowsArgument(record.UserName) +
         " /pass:" + QuoteWindowsArgument(record.Password);
}

std::string StartClientParameters(std::string_view connectionFilePath) {
  return " " + QuoteWindowsArgument(connectionFilePath, /*always=*/true);
}

}  // namespace kobax
