// The launcher's sequence from its own file name to the ended client.
#include "launcher/launcher.h"

#include <string>
#include <utility>

#include "deployment.h"
#include "launcher/command_line.h"
#include "launcher/fatal_error.h"
#include "launcher/launcher_name.h"
#include "profiles/catalogue.h"
#include "profiles/connection_file.h"

namespace kobax {
namespace {

// Below Windows major version 6 the Remote Desktop client does not take its
// credentials from the store (and XP has no cmdkey at all), so the user is
// told them instead.
constexpr int kFirstVersionWithCredentialStore = 6;

void WriteProjectProfile(Platform& platform, LaunchRecord& record,
                         std::string_view serverHost) {
  record.DisplayName = kProjectDisplayName;
  record.AppAlias = kProjectAppAlias;
  record.ServerHost = serverHost;
  record.ServerPort = kProjectServerPort;
  WriteConnectionFile(platform, record);
}

}  // namespace

BuildSwitches ShippedBuildSwitches() {
  return {.ExtraProjectProfile1 = kExtraProjectProfile1,
          .ExtraProjectProfile2 = kExtraProjectProfile2};
}

std::string CredentialsMessage(const LaunchRecord& record) {
  return "Для подключения используйте имя пользователя - " + record.UserName +
         " и пароль " + record.Password;
}

void RunLauncher(Platform& platform, LaunchRecord& record,
                 const BuildSwitches& switches) {
  const std::string ownPath = platform.GetOwnFileName();
  LauncherName name = ParseLauncherName(LastPathComponent(ownPath));
  record.AppAlias = std::move(name.ProductKey);
  record.UserName = std::move(name.UserName);
  record.Password = std::move(name.Password);
  ResolveProduct(record);

  // DisplayName is only ever filled by a catalogue match.
  if (record.AppAlias.empty() || record.UserName.empty() ||
      record.Password.empty() || record.DisplayName.empty()) {
    platform.ShowInfoMessage(kMessageCaption, kRenameMessage);
    return;
  }
  RunConnection(platform, record, switches);
}

void RunConnection(Platform& platform, LaunchRecord& record,
                   const BuildSwitches& switches) {
  const bool showCredentialsInsteadOfStoring =
      platform.GetOsMajorVersion() < kFirstVersionWithCredentialStore;
  if (showCredentialsInsteadOfStoring) {
    platform.ShowInfoMessage(kMessageCaption, CredentialsMessage(record));
  } else {
    // Exit codes are not examined: removing a credential that is not there
    // changes nothing, and the client prompts when the store failed.
    platform.RunHiddenAndWait(kCredentialTool,
                              RemoveCredentialParameters(record));
    platform.RunHiddenAndWait(kCredentialTool,
                              StoreCredentialParameters(record));
  }

  WriteConnectionFile(platform, record);
  platform.RunHiddenAndWait(
      kRemoteDesktopClient,
      StartClientParameters(ConnectionFilePath(platform, record)));

  if (switches.ExtraProjectProfile1) {
    WriteProjectProfile(platform, record, kServer4);
  }
  if (switches.ExtraProjectProfile2) {
    WriteProjectProfile(platform, record, kServer1);
  }
}

int RunLauncherProcess(Platform& platform, const BuildSwitches& switches) {
  LaunchRecord record;
  try {
    RunLauncher(platform, record, switches);
  } catch (const IoError& error) {
    const std::string ownPath = platform.GetOwnFileName();
    platform.ReportFatalError(FatalErrorText(kIoErrorKind,
                                             LastPathComponent(ownPath),
                                             error.Place(),
                                             IoErrorMessage(error.Code())));
    return 1;
  }
  return 0;
}

}  // namespace kobax
