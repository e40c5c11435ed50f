// Splitting the launcher's file name into product key, user name and password.
#include "launcher/launcher_name.h"

namespace kobax {
namespace {

// Cuts the text before the first '$' off `rest` and returns it; when there
// is no '$' the field is empty and `rest` stays as it was.
std::string_view TakeField(std::string_view& rest) {
  const std::size_t separator = rest.find('$');
  if (separator == std::string_view::npos) {
    return {};
  }
  const std::string_view field = rest.substr(0, separator);
  rest.remove_prefix(separator + 1);
  return field;
}

}  // namespace

std::string_view LastPathComponent(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string_view::npos ? path
                                              : path.substr(separator + 1);
}

LauncherName ParseLauncherName(std::string_view name) {
  std::string_view rest = name;
  LauncherName result;
  result.ProductKey = TakeField(rest);
  result.UserName = TakeField(rest);
  result.Password = TakeField(rest);
  return result;
}

}  // namespace kobax
