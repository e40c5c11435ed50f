// Writing the Remote Desktop connection file: RemoteApp mode, the alias as
// program, shell and name, and a fixed set of client settings.
#include "profiles/connection_file.h"

#include <string_view>

namespace kobax {

std::string ConnectionFilePath(Platform& platform, const LaunchRecord& record) {
  std::string path = platform.GetDesktopFolder();
  path += platform.PathSeparator();
  path += record.DisplayName;
  path += ".rdp";
  return path;
}

std::string ConnectionFileText(const LaunchRecord& record) {
  std::string text;
  const auto line = [&text](std::string_view fixed, std::string_view value = {}) {
    text.append(fixed).append(value).append("\r\n");
  };
  line("redirectclipboard:i:1");
  line("redirectposdevices:i:0");
  line("redirectprinters:i:1");
  line("redirectcomports:i:0");
  line("redirectsmartcards:i:0");
  line("devicestoredirect:s:*");
  line("drivestoredirect:s:*");
  line("redirectdrives:i:1");
  line("session bpp:i:24");
  line("prompt for credentials on client:i:1");
  line("span monitors:i:1");
  line("use multimon:i:1");
  line("remoteapplicationmode:i:1");
  line("server port:i:", record.ServerPort);
  line("allow font smoothing:i:1");
  line("promptcredentialonce:i:1");
  line("authentication level:i:0");
  line("gatewayusagemethod:i:2");
  line("gatewayprofileusagemethod:i:0");
  line("gatewaycredentialssource:i:0");
  line("full address:s:", record.ServerHost);
  line("alternate shell:s:||", record.AppAlias);
  line("remoteapplicationprogram:s:||", record.AppAlias);
  line("gatewayhostname:s:");
  line("remoteapplicationname:s:", record.AppAlias);
  line("remoteapplicationcmdline:s:");
  line("screen mode id:i:2");
  line("winposstr:s:0,3,0,0,800,600");
  line("compression:i:1");
  line("keyboardhook:i:2");
  line("audiocapturemode:i:0");
  line("videoplaybackmode:i:1");
  line("connection type:i:7");
  line("networkautodetect:i:1");
  line("bandwidthautodetect:i:1");
  line("displayconnectionbar:i:1");
  line("enableworkspacereconnect:i:0");
  line("disable wallpaper:i:0");
  line("allow desktop composition:i:0");
  line("disable full window drag:i:1");
  line("disable menu anims:i:1");
  line("disable themes:i:0");
  line("disable cursor setting:i:0");
  line("bitmapcachepersistenable:i:1");
  line("audiomode:i:0");
  line("autoreconnection enabled:i:1");
  line("prompt for credentials:i:0");
  line("negotiate security layer:i:1");
  line("remoteapplicationicon:s:");
  line("shell working directory:s:");
  line("gatewaybrokeringtype:i:0");
  line("use redirection server name:i:0");
  line("rdgiskdcproxy:i:0");
  line("kdcproxyname:s:");
  line("desktopwidth:i:800");
  line("desktopheight:i:600");
  return text;
}

void WriteConnectionFile(Platform& platform, const LaunchRecord& record) {
  platform.WriteFileAtomically(ConnectionFilePath(platform, record),
                               ConnectionFileText(record), /*replaceExisting=*/true);
}

}  // namespace kobax
