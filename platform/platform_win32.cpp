// The platform layer on Windows (XP and later, 32-bit). Text crosses the
// boundary as UTF-16 through the W functions, so names and messages read
// correctly whatever the system's ANSI code page.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace kobax {
namespace {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) {
    return {};
  }
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) {
    return {};
  }
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

// The place of a failure: the return address into the failing operation,
// as an offset from the executable's load address (the same figure a
// debugger shows against the image without relocation).
[[noreturn, gnu::noinline]] void ThrowIoError(DWORD code) {
  const auto address = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
  const auto base = reinterpret_cast<std::uintptr_t>(GetModuleHandleW(nullptr));
  throw IoError(code, static_cast<std::uint32_t>(address - base));
}

// The system folder, without a trailing backslash. For a 32-bit process on
// 64-bit Windows this names System32, which file-system redirection maps
// onto SysWOW64, where the 32-bit cmdkey and mstsc live.
std::wstring SystemFolder() {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  UINT length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  }
  return {buffer.data(), length < buffer.size() ? length : 0};
}

class Win32Platform final : public Platform {
 public:
  std::string GetOwnFileName() override {
    // A buffer of MAX_PATH would cut a longer path, and with it the name.
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    while (true) {
      const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (length == 0) {
        return {};
      }
      if (length < buffer.size() - 1 || buffer.size() >= 32768) {
        return Narrow({buffer.data(), length});
      }
      buffer.resize(buffer.size() * 2);
    }
  }

  int GetOsMajorVersion() override {
    // Without a manifest naming Windows 8.1 and 10, Windows 8.1 and later
    // report 6.2 here; the launcher only asks whether it is 6 or more.
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (GetVersionExW(&info) == 0) {
      return 0;
    }
    return static_cast<int>(info.dwMajorVersion);
  }

  void ShowInfoMessage(std::string_view caption, std::string_view text) override {
    // The language argument is the Cyrillic code page number, as the
    // launcher has always passed it; Windows uses it only to choose the
    // button texts and falls back to the user's language.
    constexpr WORD kLanguage = 1251;
    MessageBoxExW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), MB_OK | MB_ICONINFORMATION,
                  kLanguage);
  }

  std::string GetDesktopFolder() override {
    // SHGetFolderPathW from shell32, which has it from Windows 2000 on.
    // shfolder.dll is not a KnownDLL: a copy planted in the Downloads
    // folder beside the launcher would be loaded instead of the system's.
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    const HRESULT result =
        SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, SHGFP_TYPE_CURRENT, buffer.data());
    if (FAILED(result) || buffer[0] == L'\0') {
      ThrowIoError(ERROR_PATH_NOT_FOUND);
    }
    return Narrow(buffer.data());
  }

  char PathSeparator() const override { return '\\'; }

  void RunHiddenAndWait(std::string_view program, std::string_view parameters) override {
    // The tools are started from the system folder by full path: a bare
    // name is also looked up in the current folder, which for a downloaded
    // launcher is the Downloads folder.
    const std::wstring file = SystemFolder() + L"\\" + Widen(program) + L".exe";
    const std::wstring arguments = Widen(parameters);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = file.c_str();
    info.lpParameters = arguments.c_str();
    info.nShow = SW_HIDE;
    if (ShellExecuteExW(&info) == 0 || info.hProcess == nullptr) {
      return;
    }
    // Blocking on the handle ends exactly when the process does, costs no
    // CPU, and is not fooled by a program whose exit code is 259
    // (STILL_ACTIVE), as polling GetExitCodeProcess would be.
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hProcess);
  }

  void WriteFileAtomically(std::string_view path, std::string_view content,
                           bool replaceExisting) override {
    const std::wstring target = Widen(path);
    const std::wstring temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      ThrowIoError(GetLastError());
    }
    const auto fail = [&](bool open) {
      const DWORD error = GetLastError();
      if (open) {
        CloseHandle(file);
      }
      DeleteFileW(temporary.c_str());
      ThrowIoError(error);
    };
    while (!content.empty()) {
      DWORD written = 0;
      if (WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) == 0) {
        fail(true);
      }
      content.remove_prefix(written);
    }
    if (FlushFileBuffers(file) == 0) {
      fail(true);
    }
    if (CloseHandle(file) == 0) {
      fail(false);
    }
    // Replaces the old file in one step; a read-only file or a folder in
    // the way fails here with access denied and stays as it was. Without
    // MOVEFILE_REPLACE_EXISTING an existing file fails it with
    // ERROR_ALREADY_EXISTS, reported as ERROR_FILE_EXISTS like elsewhere.
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
    if (MoveFileExW(temporary.c_str(), target.c_str(), flags) == 0) {
      if (GetLastError() == ERROR_ALREADY_EXISTS) {
        SetLastError(ERROR_FILE_EXISTS);
      }
      fail(false);
    }
  }

  std::vector<std::string> GetArguments() override {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; arguments != nullptr && i < count; ++i) {
      result.push_back(Narrow(arguments[i]));
    }
    LocalFree(arguments);
    return result;
  }

  std::string ReadFile(std::string_view path) override {
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      ThrowIoError(GetLastError());
    }
    std::string content;
    std::vector<char> buffer(65536);
    DWORD got = 0;
    while (true) {
      if (::ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) == 0) {
        const DWORD error = GetLastError();
        CloseHandle(file);
        ThrowIoError(error);
      }
      if (got == 0) {
        break;
      }
      content.append(buffer.data(), got);
    }
    CloseHandle(file);
    return content;
  }

  bool FileExists(std::string_view path) override {
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  void WriteOutput(std::string_view text, bool error) override {
    // A console shows UTF-16 written with WriteConsoleW in any code page; a
    // pipe or file gets the UTF-8 bytes.
    HANDLE stream = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(stream, &mode) != 0) {
      const std::wstring wide = Widen(text);
      WriteConsoleW(stream, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
      ::WriteFile(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
  }

  void ReportFatalError(std::string_view text) override {
    MessageBoxW(nullptr, Widen(text).c_str(), L"Application Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  }
};

// Restricts DLL loads to the system folder before anything else loads one.
// SetDefaultDllDirectories exists from Windows 8 (and 7 with KB2533623);
// SetDllDirectoryW("") from XP SP1 takes the current folder out of the
// search where it does not.
void HardenDllSearch() {
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  if (kernel32 == nullptr) {
    return;
  }
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  if (const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
          reinterpret_cast<void (*)()>(GetProcAddress(kernel32, "SetDefaultDllDirectories")))) {
    setDefault(kSearchSystem32);
  }
  if (const auto setDirectory = reinterpret_cast<SetDllDirectoryFn>(
          reinterpret_cast<void (*)()>(GetProcAddress(kernel32, "SetDllDirectoryW")))) {
    setDirectory(L"");
  }
}

}  // namespace

std::unique_ptr<Platform> CreatePlatform() {
  HardenDllSearch();
  return std::make_unique<Win32Platform>();
}

}  // namespace kobax

// libstdc++'s default handler for an uncaught exception prints its demangled
// type name to standard error, which a GUI program does not have; it would
// also bring the 46 KB demangler into the image. Every exception the
// launcher throws is caught, so this only ever ends a broken process.
namespace __gnu_cxx {  // NOLINT(bugprone-reserved-identifier,cert-dcl58-cpp)
void __verbose_terminate_handler() { std::abort(); }  // NOLINT(bugprone-reserved-identifier)
}  // namespace __gnu_cxx
