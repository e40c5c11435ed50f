// The fatal-error text and the messages of file-operation failures.
#include "launcher/fatal_error.h"

#include <gtest/gtest.h>

namespace kobax {
namespace {

TEST(IoErrorMessage, NamesTheListedCodesAndNumbersTheRest) {
  struct Case {
    std::uint32_t code;
    const char* message;
  };
  const Case cases[] = {
      {2, "File not found"},          {3, "Invalid filename"},
      {4, "Too many open files"},     {5, "File access denied"},
      {100, "Read beyond end of file"}, {101, "Disk full"},
      {106, "Invalid numeric input"}, {112, "I/O error 112"},
      {1, "I/O error 1"},             {4294967295U, "I/O error 4294967295"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(c.message, IoErrorMessage(c.code));
  }
}

TEST(FatalErrorText, FollowsTheApplicationErrorPattern) {
  EXPECT_EQ("Exception EInOutError in module KOBAX_8$a$b$.exe at 0001A2BF.\r\n"
            "File access denied.\r\n",
            FatalErrorText("EInOutError", "KOBAX_8$a$b$.exe", 0x1A2BF, "File access denied"));
  // No second period after a message that ends in one.
  EXPECT_EQ("Exception EInOutError in module x.exe at FFFFFFFF.\r\nDone.\r\n",
            FatalErrorText("EInOutError", "x.exe", 0xFFFFFFFF, "Done."));
}

}  // namespace
}  // namespace kobax
