#include "tests/support/installer_doubles.h"

#include "platform/installer_paths.h"
#include "tests/support/szdd.h"

#include <cctype>
#include <stdexcept>

namespace qv::testing {

std::string FakeInstallerFileSystem::Key(std::string_view path) const {
  std::string full;
  if (path.size() >= 2 && path[1] == ':')
    full = path;
  else if (!path.empty() && path[0] == '\\')
    full = workingDirectory_.substr(0, 2) + std::string(path);
  else
    full = workingDirectory_ + "\\" + std::string(path);
  for (char& c : full) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::vector<std::string> parts;
  for (std::size_t at = 2; at <= full.size();) {
    std::size_t end = full.find('\\', at);
    if (end == std::string::npos) end = full.size();
    const std::string part = full.substr(at, end - at);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = end + 1;
  }
  std::string key = full.substr(0, 2);
  for (const std::string& part : parts) key += "\\" + part;
  if (parts.empty()) key += '\\';
  return key;
}

std::string FakeInstallerFileSystem::Parent(const std::string& key) {
  const std::size_t cut = key.rfind('\\');
  return key.substr(0, cut == 2 ? 3 : cut);
}

std::vector<std::string> FakeInstallerFileSystem::Listing(std::string_view directory) const {
  const std::string key = Key(directory);
  std::vector<std::string> names;
  const auto add = [&](const std::string& entry) {
    if (entry.size() > 3 && Parent(entry) == key) names.push_back(entry.substr(entry.rfind('\\') + 1));
  };
  for (const std::string& entry : directories_) add(entry);
  for (const auto& [entry, bytes] : files_) add(entry);
  return names;
}

std::optional<std::string> FakeInstallerFileSystem::SourceKey(std::string_view path) const {
  const std::string key = Key(path);
  if (files_.count(key)) return key;
  if (directories_.count(key)) return std::nullopt;
  const std::string compressed = CompressedName(path);
  if (FitsInstallerPath(compressed) && files_.count(Key(compressed))) return Key(compressed);
  return std::nullopt;
}

bool FakeInstallerFileSystem::FileExists(std::string_view path) {
  return FitsInstallerPath(path) && files_.count(Key(path)) != 0;
}

std::optional<std::uint64_t> FakeInstallerFileSystem::FileSize(std::string_view path) {
  if (!FileExists(path)) return std::nullopt;
  return files_.at(Key(path)).size();
}

void FakeInstallerFileSystem::Log(const std::string& entry) {
  calls.push_back(entry);
  if (log_) log_->push_back(entry);
}

std::optional<std::string> FakeInstallerFileSystem::File(std::string_view path) const {
  const auto found = files_.find(Key(path));
  if (found == files_.end()) return std::nullopt;
  return found->second;
}

bool FakeInstallerFileSystem::EnterDirectory(std::string_view path) {
  const std::string key = Key(path);
  if (!directories_.count(key)) {
    Log("enter " + std::string(path) + " (missing)");
    return false;
  }
  workingDirectory_ = key;
  Log("enter " + std::string(path));
  return true;
}

bool FakeInstallerFileSystem::MakeDirectory(std::string_view path) {
  Log("create " + std::string(path));
  const std::string key = Key(path);
  if (key.size() <= 3 || directories_.count(key) || files_.count(key) || !directories_.count(Parent(key)))
    return false;
  if (auto failing = creationFailures.find(key); failing != creationFailures.end() && failing->second > 0) {
    --failing->second;
    return false;
  }
  directories_.insert(key);
  return true;
}

void FakeInstallerFileSystem::SetCriticalErrorMode(unsigned mode) {
  errorMode_ = mode;
  errorModes.push_back(mode);
}

LzCopyResult FakeInstallerFileSystem::CopyExpanded(std::string_view source, std::string_view destination) {
  if (++copyAttempts > 1000) throw std::runtime_error("the program copied without end");
  Log("copy " + std::string(source) + " -> " + std::string(destination));
  errorModeAtCopy.push_back(errorMode_);
  if (!FitsInstallerPath(source)) return LzCopyResult::SourceOpenFailed;
  const auto from = SourceKey(source);
  if (!from) return LzCopyResult::SourceOpenFailed;
  const std::string bytes = files_[*from];
  const bool packed = HasSzddSignature(bytes);
  if (packed && (bytes.size() < kSzddHeaderSize || bytes[8] != 'A')) return LzCopyResult::SourceOpenFailed;

  if (!FitsInstallerPath(destination)) return LzCopyResult::DestinationOpenFailed;
  const std::string to = Key(destination);
  if (!directories_.count(Parent(to)) || directories_.count(to)) return LzCopyResult::DestinationOpenFailed;
  if (to == *from) return LzCopyResult::Copied;
  const std::string content = packed ? SzddExpand(bytes) : bytes;
  files_[to] = content;
  if (packed && content.size() != SzddClaimedLength(bytes)) return LzCopyResult::CopyFailed;
  return LzCopyResult::Copied;
}

}  // namespace qv::testing
