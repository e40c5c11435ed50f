// Stand-in for the Windows tools the launcher starts (cmdkey, mstsc), for
// tests under Wine. Each start appends one JSON line to the file named by
// KOBAX_STANDIN_LOG: the program, its raw command line and the arguments
// the standard Windows rules give. As the client it also records the
// connection file as it found it and the folder's listing, then stays alive
// for KOBAX_STANDIN_MILLISECONDS and exits with KOBAX_STANDIN_EXIT_CODE.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string Utf8(std::wstring_view wide) {
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

std::wstring Environment(const wchar_t* name) {
  std::vector<wchar_t> buffer(32768);
  const DWORD length = GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
  return {buffer.data(), length < buffer.size() ? length : 0};
}

std::string Json(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

// The file's bytes as hexadecimal, or "" when it cannot be read.
std::string FileAsHex(const std::wstring& path, bool& found) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  found = file != INVALID_HANDLE_VALUE;
  std::string hex;
  if (!found) {
    return hex;
  }
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    for (DWORD i = 0; i < read; ++i) {
      char digits[3];
      std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(buffer[i]));
      hex += digits;
    }
  }
  CloseHandle(file);
  return hex;
}

std::string FolderListing(const std::wstring& file) {
  const std::wstring folder = file.substr(0, file.find_last_of(L"\\/") + 1);
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &entry);
  std::string names = "[";
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") {
        names += (names.size() > 1 ? "," : "") + Json(Utf8(name));
      }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  return names + "]";
}

}  // namespace

int main() {
  const wchar_t* commandLine = GetCommandLineW();
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(commandLine, &count);
  std::string record = "{\"program\":" + Json(KOBAX_STANDIN_NAME) + ",\"raw\":" + Json(Utf8(commandLine)) +
                       ",\"args\":[";
  for (int i = 1; i < count; ++i) {
    record += (i > 1 ? "," : "") + Json(Utf8(arguments[i]));
  }
  record += "]";
  const bool isClient = std::string_view(KOBAX_STANDIN_NAME) == "mstsc";
  if (isClient && count > 1) {
    bool found = false;
    const std::string hex = FileAsHex(arguments[1], found);
    record += ",\"file_found\":" + std::string(found ? "true" : "false") + ",\"file_hex\":\"" + hex +
              "\",\"folder\":" + FolderListing(arguments[1]);
  }
  record += "}\n";

  const std::wstring log = Environment(L"KOBAX_STANDIN_LOG");
  if (!log.empty()) {
    HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
      CloseHandle(file);
    }
  }
  if (isClient) {
    Sleep(static_cast<DWORD>(_wtoi(Environment(L"KOBAX_STANDIN_MILLISECONDS").c_str())));
    return _wtoi(Environment(L"KOBAX_STANDIN_EXIT_CODE").c_str());
  }
  return 0;
}
