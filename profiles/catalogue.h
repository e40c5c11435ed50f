// The product catalogue compiled into the launcher: which RemoteApp, on which
// server and port, a product key stands for.
#pragma once

#include <span>
#include <string_view>

#include "profiles/launch_record.h"

namespace kobax {

struct CatalogueRow {
  std::string_view ProductKey;
  std::string_view DisplayName;
  std::string_view AppAlias;
  std::string_view ServerHost;
  std::string_view ServerPort;
};

// The rows in the order they are tested. No row's alias equals the key of a
// later row, so at most one row ever matches a record.
std::span<const CatalogueRow> ProductCatalogue();

// Tests the rows in order against record.AppAlias (exact, case-sensitive,
// whole string). On a match stores the row's DisplayName, AppAlias,
// ServerHost and ServerPort; an unlisted key leaves the record unchanged.
void ResolveProduct(LaunchRecord& record);

// The RemoteApp used by the optional extra project-application connection
// files; not a catalogue row, no product key leads to it.
inline constexpr std::string_view kProjectDisplayName = "MSProject Online";
inline constexpr std::string_view kProjectAppAlias = "MSProj";
inline constexpr std::string_view kProjectServerPort = "3397";

}  // namespace kobax
