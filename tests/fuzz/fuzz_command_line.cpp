// Fuzz target: the cmdkey command line against the standard Windows rules
// for splitting it. Whatever user name and password a file name can hold
// (any bytes but '$'), the store command splits into exactly three
// arguments and the values come back unchanged; so does any path given to
// the client.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/require.h"
#include "launcher/command_line.h"

using kobax::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  // The first '$' divides user name from password, as in the file name.
  const std::size_t divide = input.find('$');
  const std::string user = input.substr(0, divide);
  const std::string password =
      divide == std::string::npos ? "" : input.substr(divide + 1, input.find('$', divide + 1) - divide - 1);

  const kobax::LaunchRecord record{.UserName = user, .Password = password, .ServerHost = "rdp1.example"};
  Require(kobax::SplitWindowsCommandLine(kobax::StoreCredentialParameters(record)) ==
          std::vector<std::string>{"/generic:termsrv/rdp1.example", "/user:" + user, "/pass:" + password});
  Require(kobax::SplitWindowsCommandLine(kobax::StartClientParameters(input)) == std::vector<std::string>{input});
  return 0;
}
