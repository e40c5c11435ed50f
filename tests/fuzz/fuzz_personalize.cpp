// Fuzz target: every product key, user name and password kobax-personalize
// accepts gives a name that the launcher parses back to exactly those three,
// also after a browser's " (1)"; and nothing holding '$' is accepted.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/require.h"
#include "launcher/launcher_name.h"
#include "personalize/personalize.h"
#include "profiles/catalogue.h"

using kobax::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  // The first byte picks a listed key (or, past the list, takes the key
  // from the input too); a NUL byte divides the user name from the password.
  const auto catalogue = kobax::ProductCatalogue();
  std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string key;
  if (data[0] < catalogue.size() * 16) {
    key = catalogue[data[0] % catalogue.size()].ProductKey;
  } else {
    const std::size_t end = rest.find('\0');
    key = rest.substr(0, end);
    rest = end == std::string::npos ? "" : rest.substr(end + 1);
  }
  const std::size_t divide = rest.find('\0');
  const kobax::LauncherRequest request{key, rest.substr(0, divide),
                                       divide == std::string::npos ? "" : rest.substr(divide + 1)};

  if (!kobax::CheckRequest(request).empty()) {
    return 0;
  }
  Require(request.UserName.find('$') == std::string::npos && request.Password.find('$') == std::string::npos);
  const std::string name = kobax::PersonalizedName(request);
  const kobax::LauncherName expected{request.ProductKey, request.UserName, request.Password};
  Require(kobax::ParseLauncherName(name) == expected);
  Require(kobax::ParseLauncherName(name.substr(0, name.size() - 4) + " (1).exe") == expected);
  Require(kobax::LastPathComponent("C:\\Users\\anna\\Downloads\\" + name) == name);
  return 0;
}
