// The linux INI engine: a file's text is read, then written to a number of
// times through the profile store, each write held to the store's promises:
// a write it accepts reads back unchanged, a write it refuses leaves the file
// byte for byte, and no other entry changes either way.
// Fields: the file's text, then (section, key, value) per write.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/text_case.h"
#include "platform/posix/ini_document.h"
#include "platform/posix/ini_profile_store.h"
#include "tests/fuzz/fuzz_fields.h"

namespace {

namespace fs = std::filesystem;
using namespace qv::fuzz;
using qv::posix::IniDocument;
using qv::posix::TrimIni;
using qv::posix::UpToNul;

constexpr const char* kFile = "fuzz.ini";
constexpr std::size_t kMaxWrites = 8;
constexpr std::size_t kMaxNames = 12;

const fs::path& Directory() { return RunDirectory("qv-ini-fuzz"); }

// A name as the store takes it: up to a NUL, white space trimmed.
std::string_view Name(std::string_view text) { return TrimIni(UpToNul(text)); }

bool SameName(std::string_view a, std::string_view b) {
  return qv::EqualsIgnoringCase(Name(a), Name(b));
}

// A value as the store writes it: up to a NUL, without its leading white
// space (line breaks included), its trailing white space kept.
std::string_view Written(std::string_view value) {
  value = UpToNul(value);
  while (!value.empty() && qv::posix::IsIniSpace(value.front())) value.remove_prefix(1);
  return value;
}

// What a write must refuse: what would split the entry or could read as
// something else than the entry written.
bool MustRefuse(std::string_view section, std::string_view key, std::string_view value) {
  auto breaks = [](std::string_view t) { return t.find_first_of("\r\n") != std::string_view::npos; };
  key = Name(key);
  return breaks(Name(section)) || breaks(key) || breaks(Written(value)) ||
         key.find('=') != key.npos || key.starts_with('[') || key.starts_with("\xEF\xBB\xBF");
}

// Names that may hold entries: every header-like and key-like piece of the
// text, and the names written. A piece that names nothing costs a lookup.
void CollectNames(std::string_view text, std::vector<std::string>& sections, std::vector<std::string>& keys) {
  std::size_t pos = 0;
  while (pos <= text.size() && sections.size() < kMaxNames && keys.size() < kMaxNames) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = TrimIni(text.substr(pos, end - pos));
    if (line.starts_with('[') && line.rfind(']') != std::string_view::npos)
      sections.emplace_back(line.substr(1, line.rfind(']') - 1));
    keys.emplace_back(line.substr(0, line.find('=')));
    pos = end + 1;
  }
}

void CheckWrite(qv::posix::IniProfileStore& store, std::string_view section, std::string_view key,
                std::string_view value) {
  const std::optional<std::string> before = FileBytes(Directory() / kFile);
  const IniDocument old(before.value_or(""));
  std::vector<std::string> sections{"", std::string(section)};
  std::vector<std::string> keys{std::string(key)};
  CollectNames(old.text(), sections, keys);

  const bool accepted = store.WriteString(section, key, value, kFile);
  const std::optional<std::string> after = FileBytes(Directory() / kFile);
  const IniDocument now(after.value_or(""));

  if (MustRefuse(section, key, value)) Require(!accepted, "a write that would split its entry is refused");
  if (!accepted) {
    Require(after == before, "a refused write leaves the file byte for byte");
  } else {
    const std::string_view expected = TrimIni(UpToNul(value));
    const auto read = now.Find(section, key);
    Require(read.has_value() && *read == expected, "an accepted write reads back unchanged");
    if (expected.size() <= qv::Text256::kCapacity && !expected.starts_with('"') &&
        !expected.starts_with('\'')) {
      Require(store.ReadString(section, key, "\x01", kFile) == expected, "the store reads the value written");
    }
    // The value compared as kernel32 compares it, trailing white space and
    // all: only a write of exactly the text already there leaves the file.
    const auto was = old.Find(section, key);
    if (before && was && *was == Written(value))
      Require(after == before, "writing the same value changes nothing");
  }
  for (const auto& s : sections)
    for (const auto& k : keys)
      if (!SameName(s, section) || !SameName(k, key))
        Require(now.Find(s, k) == old.Find(s, k), "no other entry changes");
  (void)store.ReadInt(section, key, -1, kFile);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = SplitFields(data, size);
  const fs::path file = Directory() / kFile;
  std::error_code ignored;
  fs::remove(file, ignored);
  // An input of a lone text leaves no file: the first write makes it.
  if (fields.size() > 1 || !fields[0].empty()) WriteFileBytes(file, fields[0]);
  qv::posix::IniProfileStore store(Directory());

  // Reading the text as it is: every name it holds, as string and integer.
  std::vector<std::string> sections{""}, keys;
  CollectNames(fields[0], sections, keys);
  for (const auto& section : sections)
    for (const auto& key : keys) {
      (void)store.ReadString(section, key, "", kFile);
      (void)store.ReadInt(section, key, 0, kFile);
    }

  for (std::size_t n = 0; n < kMaxWrites && 1 + 3 * n < fields.size(); ++n)
    CheckWrite(store, Field(fields, 1 + 3 * n), Field(fields, 2 + 3 * n), Field(fields, 3 + 3 * n));
  return 0;
}
