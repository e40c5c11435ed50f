// The connection file: its exact bytes, its name, and how it is written.
#include "profiles/connection_file.h"

#include <gtest/gtest.h>

#include "deployment.h"
#include "fake_platform.h"
#include "profiles/catalogue.h"

namespace kobax {
namespace {

LaunchRecord Resolved(std::string_view key) {
  LaunchRecord record{.AppAlias = std::string(key), .UserName = "anna", .Password = "secret"};
  ResolveProduct(record);
  return record;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find("\r\n"); end != std::string::npos;
       start = end + 2, end = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(text.size(), start) << "text after the last CR LF";
  return lines;
}

TEST(ConnectionFileText, IsTheDocumentedFileForKobax8) {
  const std::string expected = std::string(
      "redirectclipboard:i:1\r\n"
      "redirectposdevices:i:0\r\n"
      "redirectprinters:i:1\r\n"
      "redirectcomports:i:0\r\n"
      "redirectsmartcards:i:0\r\n"
      "devicestoredirect:s:*\r\n"
      "drivestoredirect:s:*\r\n"
      "redirectdrives:i:1\r\n"
      "session bpp:i:24\r\n"
      "prompt for credentials on client:i:1\r\n"
      "span monitors:i:1\r\n"
      "use multimon:i:1\r\n"
      "remoteapplicationmode:i:1\r\n"
      "server port:i:3395\r\n"
      "allow font smoothing:i:1\r\n"
      "promptcredentialonce:i:1\r\n"
      "authentication level:i:0\r\n"
      "gatewayusagemethod:i:2\r\n"
      "gatewayprofileusagemethod:i:0\r\n"
      "gatewaycredentialssource:i:0\r\n"
      "full address:s:") + std::string(kServer1) + "\r\n"
      "alternate shell:s:||KOBAX8\r\n"
      "remoteapplicationprogram:s:||KOBAX8\r\n"
      "gatewayhostname:s:\r\n"
      "remoteapplicationname:s:KOBAX8\r\n"
      "remoteapplicationcmdline:s:\r\n"
      "screen mode id:i:2\r\n"
      "winposstr:s:0,3,0,0,800,600\r\n"
      "compression:i:1\r\n"
      "keyboardhook:i:2\r\n"
      "audiocapturemode:i:0\r\n"
      "videoplaybackmode:i:1\r\n"
      "connection type:i:7\r\n"
      "networkautodetect:i:1\r\n"
      "bandwidthautodetect:i:1\r\n"
      "displayconnectionbar:i:1\r\n"
      "enableworkspacereconnect:i:0\r\n"
      "disable wallpaper:i:0\r\n"
      "allow desktop composition:i:0\r\n"
      "disable full window drag:i:1\r\n"
      "disable menu anims:i:1\r\n"
      "disable themes:i:0\r\n"
      "disable cursor setting:i:0\r\n"
      "bitmapcachepersistenable:i:1\r\n"
      "audiomode:i:0\r\n"
      "autoreconnection enabled:i:1\r\n"
      "prompt for credentials:i:0\r\n"
      "negotiate security layer:i:1\r\n"
      "remoteapplicationicon:s:\r\n"
      "shell working directory:s:\r\n"
      "gatewaybrokeringtype:i:0\r\n"
      "use redirection server name:i:0\r\n"
      "rdgiskdcproxy:i:0\r\n"
      "kdcproxyname:s:\r\n"
      "desktopwidth:i:800\r\n"
      "desktopheight:i:600\r\n";
  EXPECT_EQ(expected, ConnectionFileText(Resolved("KOBAX_8")));
}

// Lines 14, 21, 22, 23 and 25 carry the record; every other line is fixed.
TEST(ConnectionFileText, EveryRowFillsItsFiveLines) {
  const std::vector<std::string> reference = Lines(ConnectionFileText(Resolved("KOBAX_8")));
  for (const CatalogueRow& row : ProductCatalogue()) {
    SCOPED_TRACE(row.ProductKey);
    const std::string text = ConnectionFileText(Resolved(row.ProductKey));
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(56U, lines.size());
    const std::string alias(row.AppAlias);
    EXPECT_EQ("server port:i:" + std::string(row.ServerPort), lines[13]);
    EXPECT_EQ("full address:s:" + std::string(row.ServerHost), lines[20]);
    EXPECT_EQ("alternate shell:s:||" + alias, lines[21]);
    EXPECT_EQ("remoteapplicationprogram:s:||" + alias, lines[22]);
    EXPECT_EQ("remoteapplicationname:s:" + alias, lines[24]);
    for (const std::size_t fixed : {0U, 12U, 23U, 25U, 48U, 49U, 53U, 55U}) {
      EXPECT_EQ(reference[fixed], lines[fixed]);
    }
    // The 56 lines' fixed text (1245 bytes), the five values, 56 CR LF.
    EXPECT_EQ(1245U + 112U + row.ServerPort.size() + row.ServerHost.size() + 3 * alias.size(),
              text.size());
  }
}

TEST(ConnectionFileText, LeavesEmptyValuesEmpty) {
  const std::vector<std::string> lines = Lines(ConnectionFileText(LaunchRecord{}));
  EXPECT_EQ("server port:i:", lines[13]);
  EXPECT_EQ("alternate shell:s:||", lines[21]);
}

TEST(ConnectionFilePath, JoinsDesktopAndDisplayName) {
  FakePlatform platform;
  EXPECT_EQ("C:\\Users\\anna\\Desktop\\КОВАХ 8 Онлайн.rdp",
            ConnectionFilePath(platform, Resolved("KOBAX_8_")));
  platform.desktopFolder = "D:\\Рабочий стол";
  EXPECT_EQ("D:\\Рабочий стол\\KOBAX TM.rdp", ConnectionFilePath(platform, Resolved("KOBAX_TM")));
}

TEST(WriteConnectionFile, ReplacesTheFileAtItsPath) {
  FakePlatform platform;
  WriteConnectionFile(platform, Resolved("KOBAX_8"));
  WriteConnectionFile(platform, Resolved("KOBAX_8"));
  EXPECT_EQ(std::vector<std::string>(2, "write C:\\Users\\anna\\Desktop\\КОВАХ 8.rdp"), platform.log);
  EXPECT_EQ((std::map<std::string, std::string>{
                {"C:\\Users\\anna\\Desktop\\КОВАХ 8.rdp", ConnectionFileText(Resolved("KOBAX_8"))}}),
            platform.files);
}

}  // namespace
}  // namespace kobax
