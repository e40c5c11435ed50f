// Checking and issuing personalised launcher names.
#include "personalize/personalize.h"

#include <cstdint>
#include <map>

#include "profiles/catalogue.h"

namespace kobax {
namespace {

constexpr std::size_t kMaxFileNameLength = 255;  // UTF-16 units, as NTFS counts
constexpr std::size_t kMaxPathLength = 260;
// C:\Users\<a 20-character user name>\Downloads\ .
constexpr std::size_t kTypicalDownloadsFolderLength = 40;
// What a browser adds to a repeated download: " (1)".
constexpr std::size_t kCopyNumberLength = 4;
constexpr std::string_view kForbiddenInFileNames = "\\/:*?\"<>|";

// The number of UTF-16 units `text` takes, or nothing when it is not valid
// UTF-8 (overlong forms, surrogates and values past U+10FFFF included).
std::optional<std::size_t> Utf16Length(std::string_view text) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    std::uint32_t value = 0;
    if (lead < 0x80) {
      length = 1;
      value = lead;
    } else if ((lead & 0xE0U) == 0xC0) {
      length = 2;
      value = lead & 0x1FU;
    } else if ((lead & 0xF0U) == 0xE0) {
      length = 3;
      value = lead & 0x0FU;
    } else if ((lead & 0xF8U) == 0xF0) {
      length = 4;
      value = lead & 0x07U;
    } else {
      return std::nullopt;
    }
    if (i + length > text.size()) {
      return std::nullopt;
    }
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0U) != 0x80) {
        return std::nullopt;
      }
      value = (value << 6U) | (next & 0x3FU);
    }
    constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
      return std::nullopt;
    }
    units += value >= 0x10000 ? 2 : 1;
    i += length;
  }
  return units;
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return lower;
}

// A key as someone careless about letter case and blanks would see it.
std::string Folded(std::string_view key) {
  std::string folded;
  for (const char c : LowerAscii(key)) {
    if (c != ' ' && c != '\t') {
      folded += c;
    }
  }
  return folded;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string HexByte(unsigned char c) {
  const char* digits = "0123456789ABCDEF";
  return std::string("0x") + digits[c >> 4U] + digits[c & 0xFU];
}

void CheckProductKey(std::string_view key, std::vector<std::string>& problems) {
  std::string listed;
  for (const CatalogueRow& row : ProductCatalogue()) {
    if (row.ProductKey == key) {
      return;
    }
    listed += (listed.empty() ? "" : ", ") + Quoted(row.ProductKey);
  }
  for (const CatalogueRow& row : ProductCatalogue()) {
    if (Folded(row.ProductKey) == Folded(key)) {
      problems.push_back("product key " + Quoted(key) + " differs from the listed key " +
                         Quoted(row.ProductKey) + " only in letter case or blanks");
      return;
    }
  }
  problems.push_back("unknown product key " + Quoted(key) + "; the listed keys are " + listed);
}

void CheckField(std::string_view what, std::string_view value, std::vector<std::string>& problems) {
  if (value.empty()) {
    problems.push_back("the " + std::string(what) + " is empty");
    return;
  }
  if (!Utf16Length(value)) {
    problems.push_back("the " + std::string(what) + " is not valid UTF-8 text");
    return;
  }
  if (value.find('$') != std::string_view::npos) {
    problems.push_back("the " + std::string(what) +
                       " contains '$', which separates the parts of the launcher's name");
  }
  for (const char c : value) {
    if (kForbiddenInFileNames.find(c) != std::string_view::npos) {
      problems.push_back("the " + std::string(what) + " contains '" + std::string(1, c) +
                         "', which Windows does not allow in file names");
      return;
    }
    if (static_cast<unsigned char>(c) < 0x20) {
      problems.push_back("the " + std::string(what) + " contains the control character " +
                         HexByte(static_cast<unsigned char>(c)) +
                         ", which Windows does not allow in file names");
      return;
    }
  }
}

}  // namespace

std::vector<std::string> CheckRequest(const LauncherRequest& request) {
  std::vector<std::string> problems;
  CheckProductKey(request.ProductKey, problems);
  CheckField("user name", request.UserName, problems);
  CheckField("password", request.Password, problems);
  if (problems.empty()) {
    const std::size_t length = *Utf16Length(PersonalizedName(request));
    if (length > kMaxFileNameLength) {
      problems.push_back("the launcher's name would be " + std::to_string(length) +
                         " characters long; Windows allows " + std::to_string(kMaxFileNameLength));
    }
  }
  return problems;
}

std::optional<std::string> LengthWarning(std::string_view fileName) {
  const std::size_t length = Utf16Length(fileName).value_or(fileName.size());
  if (kTypicalDownloadsFolderLength + length + kCopyNumberLength <= kMaxPathLength) {
    return std::nullopt;
  }
  return "the launcher's name is " + std::to_string(length) +
         " characters long: in a typical Downloads folder (C:\\Users\\<20 characters>\\Downloads) "
         "its path would pass 260 characters, and old Windows cannot start it there";
}

std::string PersonalizedName(const LauncherRequest& request) {
  return request.ProductKey + "$" + request.UserName + "$" + request.Password + "$.exe";
}

std::vector<BatchRow> ReadBatch(std::string_view csv, std::vector<std::string>& errors) {
  if (csv.substr(0, 3) == "\xEF\xBB\xBF") {
    csv.remove_prefix(3);
  }
  // Split into records of fields, following RFC 4180.
  struct Record {
    int line = 0;
    std::vector<std::string> fields;
  };
  std::vector<Record> records;
  int line = 1;
  std::size_t i = 0;
  while (i < csv.size()) {
    Record record{line, {}};
    std::string field;
    bool endOfRecord = false;
    while (!endOfRecord) {
      if (i < csv.size() && csv[i] == '"') {
        const int opened = line;
        ++i;
        while (true) {
          if (i == csv.size()) {
            errors.push_back("line " + std::to_string(opened) + ": a quoted field is not closed");
            return {};
          }
          if (csv[i] == '"') {
            if (i + 1 < csv.size() && csv[i + 1] == '"') {
              field += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          line += csv[i] == '\n' ? 1 : 0;
          field += csv[i++];
        }
      }
      while (i < csv.size() && csv[i] != ',' && csv[i] != '\n' && csv[i] != '\r') {
        field += csv[i++];
      }
      record.fields.push_back(std::move(field));
      field.clear();
      if (i < csv.size() && csv[i] == ',') {
        ++i;
        continue;
      }
      if (i < csv.size() && csv[i] == '\r') {
        ++i;
      }
      if (i < csv.size() && csv[i] == '\n') {
        ++i;
      }
      ++line;
      endOfRecord = true;
    }
    // A blank line is no record.
    if (!(record.fields.size() == 1 && record.fields[0].empty())) {
      records.push_back(std::move(record));
    }
  }

  if (records.empty() || records[0].fields != std::vector<std::string>{"product", "user", "password"}) {
    errors.emplace_back("line 1: the header must be \"product,user,password\"");
    return {};
  }
  std::vector<BatchRow> rows;
  std::map<std::string, int> lineOfName;
  for (std::size_t r = 1; r < records.size(); ++r) {
    const Record& record = records[r];
    const std::string at = "line " + std::to_string(record.line) + ": ";
    if (record.fields.size() != 3) {
      errors.push_back(at + "expected 3 fields (product, user, password), found " +
                       std::to_string(record.fields.size()));
      continue;
    }
    BatchRow row{record.line, {record.fields[0], record.fields[1], record.fields[2]}};
    const std::vector<std::string> problems = CheckRequest(row.request);
    for (const std::string& problem : problems) {
      errors.push_back(at + problem);
    }
    if (!problems.empty()) {
      continue;
    }
    // Windows file names ignore letter case, so rows differing only in
    // case would overwrite each other too; compare case-folded (ASCII).
    const auto [earlier, added] = lineOfName.emplace(LowerAscii(PersonalizedName(row.request)), record.line);
    if (!added) {
      errors.push_back(at + "gives the same file name as line " + std::to_string(earlier->second));
      continue;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace kobax
