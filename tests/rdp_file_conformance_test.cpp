// The connection file the launcher writes, read by an independent Remote
// Desktop client: FreeRDP's .rdp parser, and the settings it derives.
#include <freerdp/client/file.h>
#include <freerdp/settings.h>
#include <gtest/gtest.h>
#include <cstdlib>

#include <string>
#include <vector>

#include "deployment.h"
#include "platform/platform.h"
#include "profiles/catalogue.h"
#include "profiles/connection_file.h"
#include "scratch_folder.h"

namespace kobax {
namespace {

struct Setting {
  std::string name;
  char type = 0;
  std::string value;
  friend bool operator==(const Setting&, const Setting&) = default;
};

// Every line FreeRDP's parser accepts as NAME:TYPE:VALUE reaches this
// callback; a malformed line is skipped silently and never does.
BOOL RecordSetting(void* context, const char* name, char type, const char* value) {
  static_cast<std::vector<Setting>*>(context)->push_back({name, type, value});
  return FALSE;  // go on with FreeRDP's own handling of the line
}

// The lines as the documented format splits them: name, ':', type, ':', value.
std::vector<Setting> DocumentedSettings(const std::string& text) {
  std::vector<Setting> settings;
  for (std::size_t start = 0, end = 0; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = text.substr(start, end - start);
    const std::size_t first = line.find(':');
    settings.push_back({line.substr(0, first), line[first + 1], line.substr(first + 3)});
  }
  return settings;
}

struct Profile {
  std::string label;
  LaunchRecord record;
};

std::vector<Profile> Profiles() {
  std::vector<Profile> profiles;
  for (const CatalogueRow& row : ProductCatalogue()) {
    LaunchRecord record{.AppAlias = std::string(row.ProductKey)};
    ResolveProduct(record);
    profiles.push_back({std::string(row.ProductKey), record});
  }
  profiles.push_back({"extra project profile",
                      {.AppAlias = std::string(kProjectAppAlias),
                       .DisplayName = std::string(kProjectDisplayName),
                       .ServerHost = std::string(kServer4),
                       .ServerPort = std::string(kProjectServerPort)}});
  return profiles;
}

class RdpFileConformance : public ::testing::Test {
 protected:
  void SetUp() override { setenv("XDG_DESKTOP_DIR", folder.Path().c_str(), 1); }
  void TearDown() override { unsetenv("XDG_DESKTOP_DIR"); }

  // Writes the record's file as the launcher does and returns its path.
  std::string Written(const LaunchRecord& record) {
    WriteConnectionFile(*platform, record);
    return ConnectionFilePath(*platform, record);
  }

  ScratchFolder folder;
  std::unique_ptr<Platform> platform = CreatePlatform();
};

TEST_F(RdpFileConformance, FreeRdpParsesEveryLineAsWritten) {
  for (const Profile& profile : Profiles()) {
    SCOPED_TRACE(profile.label);
    rdpFile* file = freerdp_client_rdp_file_new();
    ASSERT_NE(nullptr, file);
    std::vector<Setting> seen;
    freerdp_client_rdp_file_set_callback_context(file, &seen);
    EXPECT_TRUE(freerdp_client_parse_rdp_file_ex(file, Written(profile.record).c_str(), RecordSetting));
    EXPECT_EQ(DocumentedSettings(ConnectionFileText(profile.record)), seen);
    freerdp_client_rdp_file_free(file);
  }
}

TEST_F(RdpFileConformance, FreeRdpDerivesTheIntendedSettings) {
  for (const Profile& profile : Profiles()) {
    SCOPED_TRACE(profile.label);
    rdpFile* file = freerdp_client_rdp_file_new();
    rdpSettings* settings = freerdp_settings_new(0);
    ASSERT_NE(nullptr, file);
    ASSERT_NE(nullptr, settings);
    ASSERT_TRUE(freerdp_client_parse_rdp_file(file, Written(profile.record).c_str()));
    ASSERT_TRUE(freerdp_client_populate_settings_from_rdp_file(file, settings));

    const LaunchRecord& record = profile.record;
    const auto text = [settings](size_t id) {
      const char* value = freerdp_settings_get_string(settings, id);
      return std::string(value != nullptr ? value : "(null)");
    };
    EXPECT_EQ(record.ServerHost, text(FreeRDP_ServerHostname));
    EXPECT_EQ(std::stoul(record.ServerPort), freerdp_settings_get_uint32(settings, FreeRDP_ServerPort));
    EXPECT_TRUE(freerdp_settings_get_bool(settings, FreeRDP_RemoteApplicationMode));
    EXPECT_EQ("||" + record.AppAlias, text(FreeRDP_RemoteApplicationProgram));
    EXPECT_EQ("||" + record.AppAlias, text(FreeRDP_AlternateShell));
    EXPECT_EQ(record.AppAlias, text(FreeRDP_RemoteApplicationName));
    EXPECT_TRUE(freerdp_settings_get_bool(settings, FreeRDP_RedirectClipboard));
    EXPECT_TRUE(freerdp_settings_get_bool(settings, FreeRDP_RedirectPrinters));
    EXPECT_TRUE(freerdp_settings_get_bool(settings, FreeRDP_RedirectDrives));
    EXPECT_FALSE(freerdp_settings_get_bool(settings, FreeRDP_RedirectSmartCards));
    EXPECT_FALSE(freerdp_settings_get_bool(settings, FreeRDP_RedirectSerialPorts));
    EXPECT_EQ(24U, freerdp_settings_get_uint32(settings, FreeRDP_ColorDepth));
    // Method 2: a gateway only when a direct connection fails.
    EXPECT_EQ(2U, freerdp_settings_get_uint32(settings, FreeRDP_GatewayUsageMethod));
    EXPECT_TRUE(freerdp_settings_get_bool(settings, FreeRDP_AutoReconnectionEnabled));
    EXPECT_TRUE(freerdp_settings_get_bool(settings, FreeRDP_CompressionEnabled));
    EXPECT_TRUE(freerdp_settings_get_bool(settings, FreeRDP_BitmapCachePersistEnabled));
    EXPECT_FALSE(freerdp_settings_get_bool(settings, FreeRDP_AudioCapture));
    // Connection type 7 with network and bandwidth auto-detection. FreeRDP
    // reaches it too, though it warns that networkautodetect:i:1 (on, as
    // the format documents it) contradicts bandwidthautodetect:i:1 and
    // "corrects" it; the file keeps the documented form.
    EXPECT_EQ(7U, freerdp_settings_get_uint32(settings, FreeRDP_ConnectionType));
    EXPECT_TRUE(freerdp_settings_get_bool(settings, FreeRDP_NetworkAutoDetect));

    freerdp_settings_free(settings);
    freerdp_client_rdp_file_free(file);
  }
}

}  // namespace
}  // namespace kobax
