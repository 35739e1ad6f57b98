// Small file helpers the linux services share: an owning descriptor, a write
// that survives short writes and signals, and the one way a file is replaced
// whole (temporary file beside it, synced, renamed, folder synced).
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace qv::posix {

// Closes its descriptor when it goes; moves, never copies.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { reset(); }

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  int release();
  // Closes now; false when close reported an error (the data of a write may
  // not have reached the disk).
  bool reset(int fd = -1);

 private:
  int fd_ = -1;
};

// Writes every byte, again after a short write or an interrupted one; false
// on any other failure.
bool WriteAll(int fd, std::string_view bytes);

// The start of the name of every temporary file that replaces `target`
// (".name." in the same folder; the name cut so that the whole temporary name
// fits in 255 bytes). A leftover of a killed write is recognised by it.
std::string TemporaryPrefixFor(const std::filesystem::path& target);

// True when `name` is one of the temporary names made for `target`: the
// prefix followed by the six characters the system fills in.
bool IsTemporaryNameFor(const std::filesystem::path& target, std::string_view name);

// Replaces `target` by a file holding `bytes` with permission bits `mode`:
// written to a temporary file beside it, synced, renamed over the target,
// and the folder synced so that the rename lasts too. The old file stays
// whole until the rename and is untouched when anything fails on the way; no
// temporary file is left behind by a failure.
bool ReplaceFileAtomically(const std::filesystem::path& target, std::string_view bytes, mode_t mode);

}  // namespace qv::posix
