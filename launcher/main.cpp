// Entry point. The launcher takes no arguments: its command line is ignored
// and its only input is its own file name.
#include "launcher/launcher.h"
#include "platform/platform.h"

int main() {
  const auto platform = kobax::CreatePlatform();
  return kobax::RunLauncherProcess(*platform, kobax::ShippedBuildSwitches());
}
