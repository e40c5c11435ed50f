// The fatal-error text and the messages of file-operation failures.
#include "launcher/fatal_error.h"

namespace kobax {

std::string IoErrorMessage(std::uint32_t code) {
  switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
  }
}

std::string FatalErrorText(std::string_view kind, std::string_view module,
                           std::uint32_t place, std::string_view message) {
  // Formatted by hand: printf would bring its whole formatter into the
  // Windows image for eight digits.
  std::string hex(8, '0');
  for (std::size_t i = hex.size(); i-- > 0; place >>= 4U) {
    hex[i] = "0123456789ABCDEF"[place & 0xFU];
  }
  std::string text = "Exception ";
  text.append(kind).append(" in module ").append(module);
  text.append(" at ").append(hex).append(".\r\n").append(message);
  if (!message.ends_with('.')) {
    text += '.';
  }
  text += "\r\n";
  return text;
}

}  // namespace kobax
