#include "platform/win32/win32_profile_store.h"

#include <windows.h>

#include <string>

namespace qv::win32 {

// kernel32 takes C strings: the std::string copies supply the NUL, and an
// embedded NUL ends the text there, as it would for any C caller.

Text256 Win32ProfileStore::ReadString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue, std::string_view file) {
  const std::string sectionZ(section), keyZ(key), defaultZ(defaultValue), fileZ(file);
  Text256 value;
  value.FillWith([&](char* buffer, std::size_t size) {
    GetPrivateProfileStringA(sectionZ.c_str(), keyZ.c_str(), defaultZ.c_str(), buffer,
                             static_cast<DWORD>(size), fileZ.c_str());
  });
  return value;
}

int Win32ProfileStore::ReadInt(std::string_view section, std::string_view key, int defaultValue,
                               std::string_view file) {
  const std::string sectionZ(section), keyZ(key), fileZ(file);
  return static_cast<int>(
      GetPrivateProfileIntA(sectionZ.c_str(), keyZ.c_str(), defaultValue, fileZ.c_str()));
}

bool Win32ProfileStore::WriteString(std::string_view section, std::string_view key,
                                    std::string_view value, std::string_view file) {
  const std::string sectionZ(section), keyZ(key), valueZ(value), fileZ(file);
  return WritePrivateProfileStringA(sectionZ.c_str(), keyZ.c_str(), valueZ.c_str(),
                                    fileZ.c_str()) != FALSE;
}

namespace {

// One name for every configuration write of the programs, in the session's
// namespace: the programs of one user share it, other sessions do not.
constexpr char kWriteMutexName[] = "Local\\QV27-518 configuration writes";
// A batch takes milliseconds; a holder that keeps the mutex longer has hung.
constexpr DWORD kWriteWaitMs = 5000;

// Owns the mutex for one batch; released (and the handle closed) when it goes.
class BatchLock {
 public:
  BatchLock() : mutex_(CreateMutexA(nullptr, FALSE, kWriteMutexName)) {
    if (mutex_ == nullptr) return;
    // An instance that died holding it leaves it abandoned: its batch was cut
    // short, but ours may go ahead.
    const DWORD waited = WaitForSingleObject(mutex_, kWriteWaitMs);
    owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  }
  ~BatchLock() {
    if (owned_) ReleaseMutex(mutex_);
    if (mutex_ != nullptr) CloseHandle(mutex_);
  }
  BatchLock(const BatchLock&) = delete;
  BatchLock& operator=(const BatchLock&) = delete;

  // False only when another writer held the mutex past the wait; without a
  // mutex at all the batch is written unguarded, as a single write would be.
  bool MayWrite() const { return owned_ || mutex_ == nullptr; }

 private:
  HANDLE mutex_;
  bool owned_ = false;
};

}  // namespace

bool Win32ProfileStore::WriteStrings(std::span<const ProfileEntry> entries, std::string_view file) {
  const BatchLock lock;
  if (!lock.MayWrite()) return false;
  bool all = true;
  for (const ProfileEntry& entry : entries) all = WriteString(entry.section, entry.key, entry.value, file) && all;
  return all;
}

}  // namespace qv::win32
