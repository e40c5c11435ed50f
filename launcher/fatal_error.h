// The text of the fatal-error box that ends a run whose file operation failed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kobax {

// The class name the fatal-error text gives every file-operation failure.
inline constexpr std::string_view kIoErrorKind = "EInOutError";

// "File access denied" for 5 and the like; "I/O error N" for a code the
// table does not list.
std::string IoErrorMessage(std::uint32_t code);

// "Exception KIND in module MODULE at PLACE.\r\nMESSAGE.\r\n", PLACE in
// eight upper-case hexadecimal digits; the period after MESSAGE is added
// only when it does not already end in one.
std::string FatalErrorText(std::string_view kind, std::string_view module,
                           std::uint32_t place, std::string_view message);

}  // namespace kobax
