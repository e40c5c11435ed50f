// Command lines for cmdkey and mstsc, and the Windows splitting rules they
// are read back with.
#include "launcher/command_line.h"

#include <gtest/gtest.h>

namespace kobax {
namespace {

using Arguments = std::vector<std::string>;

// Rows from the Microsoft C runtime's documented parsing examples.
TEST(SplitWindowsCommandLine, FollowsTheRuntimeRules) {
  struct Case {
    const char* line;
    Arguments expected;
  };
  const Case cases[] = {
      {R"("abc" d e)", {"abc", "d", "e"}},
      {R"(a\\\b d"e f"g h)", {R"(a\\\b)", "de fg", "h"}},
      {R"(a\\\"b c d)", {R"(a\"b)", "c", "d"}},
      {R"(a\\\\"b c" d e)", {R"(a\\b c)", "d", "e"}},
      {R"(a"b"" c d)", {R"(ab" c d)"}},
      {" \t x \t ", {"x"}},
      {R"("" x)", {"", "x"}},
      {"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(c.expected, SplitWindowsCommandLine(c.line));
  }
}

TEST(QuoteWindowsArgument, ReadsBackAsOneUnchangedArgument) {
  for (const char* value : {"p w", "p\tw", R"(p"w)", R"(a\)", R"(a \)", R"(a\\ "b")", R"(\")",
                            R"(" )", "Пароль с пробелом", "plain", R"(back\slash)"}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(Arguments{value}, SplitWindowsCommandLine(QuoteWindowsArgument(value)));
    EXPECT_EQ(Arguments{value},
              SplitWindowsCommandLine(QuoteWindowsArgument(value, /*always=*/true)));
  }
}

TEST(QuoteWindowsArgument, LeavesValuesWithoutBlanksOrQuotesAlone) {
  EXPECT_EQ(R"(back\slash)", QuoteWindowsArgument(R"(back\slash)"));
  EXPECT_EQ(R"("p w")", QuoteWindowsArgument("p w"));
  EXPECT_EQ(R"("plain")", QuoteWindowsArgument("plain", /*always=*/true));
}

TEST(CredentialParameters, AreTheDocumentedCommandLines) {
  const LaunchRecord record{.UserName = "anna", .Password = "s3cr3t!", .ServerHost = "rdp1.example"};
  EXPECT_EQ(" /delete:termsrv/rdp1.example", RemoveCredentialParameters(record));
  EXPECT_EQ(" /generic:termsrv/rdp1.example /user:anna /pass:s3cr3t!",
            StoreCredentialParameters(record));
}

TEST(CredentialParameters, KeepUserAndPasswordOneArgumentEach) {
  struct Case {
    const char* user;
    const char* password;
    const char* parameters;
  };
  const Case cases[] = {
      {"anna", "p w", R"( /generic:termsrv/h /user:anna /pass:"p w")"},
      {"Анна Петрова", "пароль", R"( /generic:termsrv/h /user:"Анна Петрова" /pass:пароль)"},
      {"a\tb", "x", " /generic:termsrv/h /user:\"a\tb\" /pass:x"},
      {"anna", R"(a"b)", R"( /generic:termsrv/h /user:anna /pass:"a\"b")"},
      {"anna", R"(a\ b\)", R"( /generic:termsrv/h /user:anna /pass:"a\ b\\")"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.parameters);
    const LaunchRecord record{.UserName = c.user, .Password = c.password, .ServerHost = "h"};
    const std::string parameters = StoreCredentialParameters(record);
    EXPECT_EQ(c.parameters, parameters);
    EXPECT_EQ((Arguments{"/generic:termsrv/h", std::string("/user:") + c.user,
                         std::string("/pass:") + c.password}),
              SplitWindowsCommandLine(parameters));
  }
}

TEST(StartClientParameters, QuotesThePathAlways) {
  EXPECT_EQ(R"( "C:\Users\anna\Desktop\КОВАХ 8.rdp")",
            StartClientParameters(R"(C:\Users\anna\Desktop\КОВАХ 8.rdp)"));
  EXPECT_EQ(R"( "C:\Desktop\KOBAX.rdp")", StartClientParameters(R"(C:\Desktop\KOBAX.rdp)"));
}

}  // namespace
}  // namespace kobax
