#include "tests/support/installer_doubles.h"

#include <algorithm>
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
  std::transform(full.begin(), full.end(), full.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (full.size() == 2) full += '\\';
  while (full.size() > 3 && full.back() == '\\') full.pop_back();
  return full;
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
  const std::size_t cut = key.rfind('\\');
  const std::string parent = Key(key.substr(0, cut == 2 ? 3 : cut));
  if (directories_.count(key) || !directories_.count(parent) || key.size() <= 3) return false;
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
  if (++copyAttempts > copyAttemptLimit) throw std::runtime_error("the program copied without end");
  Log("copy " + std::string(source) + " -> " + std::string(destination));
  errorModeAtCopy.push_back(errorMode_);
  const std::string from = Key(source), to = Key(destination);
  if (auto missing = missingFor.find(from); missing != missingFor.end() && missing->second > 0) {
    --missing->second;
    return LzCopyResult::SourceOpenFailed;
  }
  if (!files_.count(from)) return LzCopyResult::SourceOpenFailed;
  if (!directories_.count(Key(to.substr(0, to.rfind('\\') == 2 ? 3 : to.rfind('\\')))) ||
      lockedDestinations.count(to) || directories_.count(to))
    return LzCopyResult::DestinationOpenFailed;
  if (auto failing = copyFailures.find(to); failing != copyFailures.end() && failing->second > 0) {
    --failing->second;
    files_[to].clear();
    return LzCopyResult::CopyFailed;
  }
  files_[to] = files_[from];
  return LzCopyResult::Copied;
}

}  // namespace qv::testing
