// Fuzz target: a whole launcher run, against the recording platform, from
// an arbitrary file name. Whatever the name, the run either shows exactly
// the rename message and nothing else, or runs exactly the two credential
// commands, writes one connection file and starts one client, with the
// user name and password taken verbatim from the name and each reaching
// cmdkey as one argument.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fake_platform.h"
#include "fuzz/require.h"
#include "launcher/command_line.h"
#include "launcher/launcher.h"
#include "profiles/catalogue.h"
#include "profiles/connection_file.h"

namespace {

// The file name split the simple way, independently of the launcher's code.
struct Expected {
  std::string key, user, password;
};
Expected Split(const std::string& path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\' || path[i] == '/' || path[i] == ':') {
      start = i + 1;
    }
  }
  const std::string name = path.substr(start);
  const std::size_t first = name.find('$');
  const std::size_t second = first == std::string::npos ? first : name.find('$', first + 1);
  const std::size_t third = second == std::string::npos ? second : name.find('$', second + 1);
  if (first == std::string::npos) {
    return {};
  }
  if (second == std::string::npos) {
    return {name.substr(0, first), "", ""};
  }
  return {name.substr(0, first), name.substr(first + 1, second - first - 1),
          third == std::string::npos ? "" : name.substr(second + 1, third - second - 1)};
}

}  // namespace

using kobax::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using kobax::FakePlatform;
  FakePlatform platform;
  platform.ownFileName = "C:\\Users\\anna\\Downloads\\" + std::string(reinterpret_cast<const char*>(data), size);
  const Expected expected = Split(platform.ownFileName);

  Require(kobax::RunLauncherProcess(platform, {}) == 0);

  kobax::LaunchRecord record{.AppAlias = expected.key, .UserName = expected.user, .Password = expected.password};
  kobax::ResolveProduct(record);
  if (record.DisplayName.empty() || expected.user.empty() || expected.password.empty()) {
    Require(platform.log == std::vector<std::string>{"message " + std::string(kobax::kMessageCaption) + ": " +
                                                     std::string(kobax::kRenameMessage)});
    Require(platform.files.empty());
    return 0;
  }
  const std::string path = "C:\\Users\\anna\\Desktop\\" + record.DisplayName + ".rdp";
  Require(platform.log.size() == 4);
  Require(platform.log[0] == "run cmdkey /delete:termsrv/" + record.ServerHost);
  const std::string store = "run cmdkey";
  Require(platform.log[1].starts_with(store));
  Require(kobax::SplitWindowsCommandLine(platform.log[1].substr(store.size())) ==
          std::vector<std::string>{"/generic:termsrv/" + record.ServerHost, "/user:" + expected.user,
                                   "/pass:" + expected.password});
  Require(platform.log[2] == "write " + path);
  Require(platform.log[3] == "run mstsc \"" + path + "\"");
  Require(platform.files.size() == 1 && platform.files[path] == kobax::ConnectionFileText(record));
  return 0;
}
