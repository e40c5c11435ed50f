// The kobax-personalize command line.
#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "launcher/fatal_error.h"
#include "personalize/personalize.h"
#include "profiles/catalogue.h"

namespace kobax {
namespace {

constexpr std::string_view kUsage =
    "Usage:\n"
    "  kobax-personalize --launcher PATH --product KEY --user NAME --password PW [--out DIR] [--force]\n"
    "  kobax-personalize --launcher PATH --csv FILE [--out DIR] [--force]\n"
    "  kobax-personalize --product KEY --user NAME --password PW --name-only\n"
    "  kobax-personalize --csv FILE --name-only\n"
    "  kobax-personalize --list-products\n"
    "\n"
    "Writes a copy of the launcher named KEY$NAME$PW$.exe into DIR (the current\n"
    "folder by default) and prints its path. --csv issues one copy per row of a\n"
    "UTF-8 file with the header product,user,password; if any row is refused,\n"
    "nothing is written. An existing copy is replaced only with --force.\n";

struct Options {
  std::map<std::string, std::string> values;  // --launcher, --product, ...
  bool nameOnly = false;
  bool listProducts = false;
  bool force = false;
  bool help = false;
};

// Parses "--name VALUE" and "--name=VALUE"; nothing on a usage error,
// which `error` then describes.
std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string& error) {
  static const std::vector<std::string> kValued = {"--launcher", "--product", "--user",
                                                   "--password", "--out",     "--csv"};
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string name = arguments[i];
    std::optional<std::string> value;
    if (const std::size_t equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    if (std::find(kValued.begin(), kValued.end(), name) != kValued.end()) {
      if (!value) {
        if (i + 1 == arguments.size()) {
          error = name + " needs a value";
          return std::nullopt;
        }
        value = arguments[++i];
      }
      if (!options.values.emplace(name, *value).second) {
        error = name + " is given twice";
        return std::nullopt;
      }
    } else if (value) {
      error = name + " takes no value";
      return std::nullopt;
    } else if (name == "--name-only") {
      options.nameOnly = true;
    } else if (name == "--list-products") {
      options.listProducts = true;
    } else if (name == "--force") {
      options.force = true;
    } else if (name == "--help" || name == "-h") {
      options.help = true;
    } else {
      error = "unknown argument " + name;
      return std::nullopt;
    }
  }
  return options;
}

class Tool {
 public:
  Tool(Platform& platform, Options options) : platform_(platform), options_(std::move(options)) {}

  int Run() {
    if (options_.help) {
      Out(kUsage);
      return 0;
    }
    if (options_.listProducts) {
      return ListProducts();
    }
    const bool single = Has("--product") || Has("--user") || Has("--password");
    if (single == Has("--csv")) {
      return Usage("give either --csv or --product, --user and --password");
    }
    if (!options_.nameOnly && !Has("--launcher")) {
      return Usage("--launcher is needed to write a copy (or use --name-only)");
    }
    if (options_.nameOnly && (Has("--launcher") || Has("--out") || options_.force)) {
      return Usage("--name-only writes nothing: --launcher, --out and --force do not apply");
    }
    return single ? IssueOne() : IssueBatch();
  }

 private:
  bool Has(const std::string& name) const { return options_.values.count(name) != 0; }
  std::string Value(const std::string& name) const {
    const auto found = options_.values.find(name);
    return found == options_.values.end() ? "" : found->second;
  }
  void Out(std::string_view text) { platform_.WriteOutput(text, false); }
  void Err(std::string_view text) { platform_.WriteOutput(text, true); }
  int Usage(const std::string& problem) {
    Err("kobax-personalize: " + problem + "\n\n" + std::string(kUsage));
    return 2;
  }

  int ListProducts() {
    for (const CatalogueRow& row : ProductCatalogue()) {
      Out(std::string(row.ProductKey) + "\t" + std::string(row.DisplayName) + "\t" +
          std::string(row.ServerHost) + ":" + std::string(row.ServerPort) + "\n");
    }
    return 0;
  }

  std::string OutputPath(const std::string& name) const {
    return Has("--out") ? Value("--out") + platform_.PathSeparator() + name : name;
  }

  int IssueOne() {
    const LauncherRequest request{Value("--product"), Value("--user"), Value("--password")};
    const std::vector<std::string> problems = CheckRequest(request);
    for (const std::string& problem : problems) {
      Err("kobax-personalize: " + problem + "\n");
    }
    if (!problems.empty()) {
      return 1;
    }
    return Issue({{0, request}});
  }

  int IssueBatch() {
    std::string csv;
    try {
      csv = platform_.ReadFile(Value("--csv"));
    } catch (const IoError& error) {
      Err("kobax-personalize: cannot read " + Value("--csv") + ": " + IoErrorMessage(error.Code()) + "\n");
      return 1;
    }
    std::vector<std::string> errors;
    const std::vector<BatchRow> rows = ReadBatch(csv, errors);
    for (const std::string& error : errors) {
      Err(Value("--csv") + ": " + error + "\n");
    }
    if (!errors.empty()) {
      Err("kobax-personalize: nothing written\n");
      return 1;
    }
    return Issue(rows);
  }

  // Writes (or names) one copy per row, after checking that none would
  // replace a file without --force.
  int Issue(const std::vector<BatchRow>& rows) {
    const auto where = [](const BatchRow& row) {
      return row.line > 0 ? "line " + std::to_string(row.line) + ": " : std::string();
    };
    for (const BatchRow& row : rows) {
      if (const auto warning = LengthWarning(PersonalizedName(row.request))) {
        Err("kobax-personalize: " + where(row) + "warning: " + *warning + "\n");
      }
    }
    if (options_.nameOnly) {
      for (const BatchRow& row : rows) {
        Out(PersonalizedName(row.request) + "\n");
      }
      return 0;
    }
    if (Has("--out") && !platform_.FileExists(Value("--out"))) {
      Err("kobax-personalize: the output folder " + Value("--out") + " does not exist\n");
      return 1;
    }
    bool blocked = false;
    for (const BatchRow& row : rows) {
      const std::string path = OutputPath(PersonalizedName(row.request));
      if (!options_.force && platform_.FileExists(path)) {
        Err("kobax-personalize: " + where(row) + path + " exists; --force replaces it\n");
        blocked = true;
      }
    }
    if (blocked) {
      Err("kobax-personalize: nothing written\n");
      return 1;
    }

    std::string launcher;
    try {
      launcher = platform_.ReadFile(Value("--launcher"));
    } catch (const IoError& error) {
      Err("kobax-personalize: cannot read " + Value("--launcher") + ": " + IoErrorMessage(error.Code()) +
          "\n");
      return 1;
    }
    for (const BatchRow& row : rows) {
      const std::string path = OutputPath(PersonalizedName(row.request));
      try {
        platform_.WriteFileAtomically(path, launcher, options_.force);
      } catch (const IoError& error) {
        Err("kobax-personalize: " + where(row) + "cannot write " + path + ": " +
            IoErrorMessage(error.Code()) + "\n");
        return 1;
      }
      Out(path + "\n");
    }
    return 0;
  }

  Platform& platform_;
  Options options_;
};

}  // namespace

int RunPersonalize(Platform& platform, const std::vector<std::string>& arguments) {
  std::string error;
  std::optional<Options> options = ParseOptions(arguments, error);
  if (!options) {
    platform.WriteOutput("kobax-personalize: " + error + "\n\n" + std::string(kUsage), true);
    return 2;
  }
  return Tool(platform, std::move(*options)).Run();
}

}  // namespace kobax
