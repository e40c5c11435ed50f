// Cutting product key, user name and password out of the launcher's name.
#include "launcher/launcher_name.h"

#include <gtest/gtest.h>

namespace kobax {
namespace {

TEST(ParseLauncherName, SplitsAtTheFirstThreeDollars) {
  struct Case {
    const char* name = nullptr;
    LauncherName expected;
  };
  const Case cases[] = {
      {"KOBAX_8$anna$secret$.exe", {"KOBAX_8", "anna", "secret"}},
      // A browser's copy number in the ignored tail.
      {"KOBAX_8$anna$secret$ (2).exe", {"KOBAX_8", "anna", "secret"}},
      // Only two '$': the password has no end and stays empty.
      {"KOBAX_8$anna$secret.exe", {"KOBAX_8", "anna", ""}},
      {"KOBAX_8.exe", {"", "", ""}},
      {"$anna$secret$.exe", {"", "anna", "secret"}},
      {"KOBAX_8$$secret$.exe", {"KOBAX_8", "", "secret"}},
      {"KOBAX_8$anna$$.exe", {"KOBAX_8", "anna", ""}},
      {"KOBAX_8$Анна Петрова$p a ss$.exe", {"KOBAX_8", "Анна Петрова", "p a ss"}},
      // Further '$' belong to the tail.
      {"KOBAX_8$anna$secret$more$.exe", {"KOBAX_8", "anna", "secret"}},
      {"", {"", "", ""}},
      {"$$$", {"", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.expected, ParseLauncherName(c.name));
  }
}

TEST(LastPathComponent, KeepsWhatFollowsTheLastSeparator) {
  struct Case {
    const char* path = nullptr;
    const char* expected = nullptr;
  };
  const Case cases[] = {
      {"C:\\Users\\anna\\Downloads\\KOBAX_8$anna$secret$.exe", "KOBAX_8$anna$secret$.exe"},
      // A '$' in a folder name has no effect.
      {"C:\\a$b$c$\\KOBAX_8$anna$secret$.exe", "KOBAX_8$anna$secret$.exe"},
      {"C:KOBAX_8$a$b$.exe", "KOBAX_8$a$b$.exe"},
      {"/home/anna/KOBAX_8$a$b$.exe", "KOBAX_8$a$b$.exe"},
      {"KOBAX_8$a$b$.exe", "KOBAX_8$a$b$.exe"},
      {"C:\\folder\\", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(c.expected, LastPathComponent(c.path));
  }
}

}  // namespace
}  // namespace kobax
