// The launch record: everything one run of the launcher knows about the
// connection it is about to make. Text is UTF-8.
#pragma once

#include <string>

namespace kobax {

struct LaunchRecord {
  // The product key cut from the file name, until the catalogue replaces it
  // with the name under which the server publishes the RemoteApp program.
  std::string AppAlias{};
  std::string UserName{};
  std::string Password{};
  // The RemoteApp's display name; also the base name of the connection file.
  std::string DisplayName{};
  std::string ServerHost{};
  // The server's TCP port as decimal text, written into the file as it stands.
  std::string ServerPort{};

  friend bool operator==(const LaunchRecord&, const LaunchRecord&) = default;
};

}  // namespace kobax
