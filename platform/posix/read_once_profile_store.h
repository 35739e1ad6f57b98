// A profile store that reads each file from its place once: the first read
// of a file copies it (up to a limit, without blocking, a regular file only)
// into memory, and every later read of it is answered from that copy by the
// engine underneath. The installer reads its information file from an
// untrusted medium through it, value by value, without going back to the
// medium each time; a file larger than the limit reads as unreadable.
// A write to a file goes through and forgets its copy.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/profile_store.h"

namespace qv::posix {

class ReadOnceProfileStore final : public ProfileStore {
 public:
  ReadOnceProfileStore(ProfileStore& store, std::uint64_t limit) : store_(store), limit_(limit) {}
  ~ReadOnceProfileStore() override;
  ReadOnceProfileStore(const ReadOnceProfileStore&) = delete;
  ReadOnceProfileStore& operator=(const ReadOnceProfileStore&) = delete;

  Text256 ReadString(std::string_view section, std::string_view key, std::string_view defaultValue,
                     std::string_view file) override;
  int ReadInt(std::string_view section, std::string_view key, int defaultValue, std::string_view file) override;
  bool WriteString(std::string_view section, std::string_view key, std::string_view value,
                   std::string_view file) override;

 private:
  // The name under which the engine reads the copy; the file's own name for
  // a bare name (which the engine places itself) or one that cannot be copied.
  std::string CopyOf(std::string_view file);

  ProfileStore& store_;
  std::uint64_t limit_;
  // File name -> descriptor of its copy in memory (-1: unreadable).
  std::map<std::string, int, std::less<>> copies_;
};

}  // namespace qv::posix
