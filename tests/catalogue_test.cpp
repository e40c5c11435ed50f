// The product catalogue: every row, and the keys that nearly match one.
#include "profiles/catalogue.h"

#include <gtest/gtest.h>

#include "deployment.h"

namespace kobax {
namespace {

LaunchRecord Resolved(std::string_view key) {
  LaunchRecord record;
  record.AppAlias = key;
  record.UserName = "anna";
  ResolveProduct(record);
  return record;
}

TEST(ResolveProduct, EveryRowGivesItsProfile) {
  struct Case {
    std::string_view key, displayName, alias, host, port;
  };
  const Case cases[] = {
      {"KOBAX_8", "КОВАХ 8", "KOBAX8", kServer1, "3395"},
      {"KOBAX_8_Online", "КОВАХ 8 Онлайн", "KOBAX8", kServer1, "3396"},
      {"KOBAX_8_", "КОВАХ 8 Онлайн", "KOBAX8", kServer1, "3397"},
      // Latin letters that look like the Cyrillic ones.
      {"KOBAX_TM", "KOBAX TM", "KOBAX_TM", kServer2, "43389"},
      {"KOBAX_TM_Free", "КОВАХ ТМ Онлайн", "KOBAX_TM", kServer3, "3396"},
      {"KOBAX_TM_Online", "КОВАХ ТМ Онлайн", "KOBAX_TM", kServer4, "3397"},
      {"KOBAX_VEL_ZU", "КОВАХ ВЕЛ", "VEL_ZU", kServer1, "3395"},
      {"KOBAX_VEL_ZU_ Online", "КОВАХ ВЕЛ Онлайн", "VEL_ZU", kServer1, "3397"},
      {"KOBAX_VEL_TN", "КОВАХ ВЕЛ ТМ", "VEL_TN", kServer2, "43389"},
  };
  ASSERT_EQ(std::size(cases), ProductCatalogue().size());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    const LaunchRecord expected{.AppAlias = std::string(c.alias),
                                .UserName = "anna",
                                .Password = "",
                                .DisplayName = std::string(c.displayName),
                                .ServerHost = std::string(c.host),
                                .ServerPort = std::string(c.port)};
    EXPECT_EQ(expected, Resolved(c.key));
  }
}

TEST(ResolveProduct, NearMissesLeaveTheRecordUnchanged) {
  for (const char* key : {"kobax_8", "KOBAX_8 ", "KOBAX_VEL_ZU_Online", "KOBAX_VEL_ZU Online",
                          "KOBAX8", "", "KOBAX_8$", "КОВАХ 8"}) {
    SCOPED_TRACE(key);
    LaunchRecord record;
    record.AppAlias = key;
    ResolveProduct(record);
    EXPECT_EQ(LaunchRecord{.AppAlias = key}, record);
  }
}

// An alias equal to a later row's key would be resolved a second time.
TEST(ProductCatalogue, NoAliasIsTheKeyOfALaterRow) {
  const auto rows = ProductCatalogue();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t later = i + 1; later < rows.size(); ++later) {
      EXPECT_NE(rows[i].AppAlias, rows[later].ProductKey) << rows[i].ProductKey;
    }
  }
}

}  // namespace
}  // namespace kobax
