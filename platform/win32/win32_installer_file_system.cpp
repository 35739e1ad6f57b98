#include "platform/win32/win32_installer_file_system.h"

#include <windows.h>
#include <lzexpand.h>

#include <cstring>
#include <string>

#include "platform/installer_paths.h"

namespace qv::win32 {
namespace {

// An SZDD file starts with these eight bytes, the method 'A', the name's
// missing last character and the expanded length (32-bit, low byte first).
constexpr char kSzddMagic[8] = {'S', 'Z', 'D', 'D', '\x88', '\xF0', '\x27', '\x33'};
constexpr DWORD kSzddHeaderSize = 14;

// A kernel file handle, closed when it goes unless released.
class OwnedFile {
 public:
  explicit OwnedFile(HANDLE handle) : handle_(handle) {}
  OwnedFile(const OwnedFile&) = delete;
  OwnedFile& operator=(const OwnedFile&) = delete;
  ~OwnedFile() {
    if (valid()) CloseHandle(handle_);
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  HANDLE release() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }

 private:
  HANDLE handle_;
};

// Opens a source for reading, under its own name or else its compressed
// one. Others may read and write it meanwhile, as with the LZ library's
// open; that is what lets a copy onto itself be recognised below.
HANDLE OpenSource(const std::string& path) {
  const auto open = [](const std::string& name) {
    return CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  HANDLE file = open(path);
  if (file != INVALID_HANDLE_VALUE) return file;
  const DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND) return file;
  const std::string compressed = CompressedName(path);
  if (!FitsInstallerPath(compressed)) return INVALID_HANDLE_VALUE;
  return open(compressed);
}

enum class SourceKind { Plain, Compressed, Unusable };

// Reads the header and goes back to the start. A file that carries the
// signature but cannot be expanded (another method, a header cut short) is
// unusable: copied as it stands it would install the compressed bytes, or
// nothing at all, as if they were the program.
SourceKind Examine(HANDLE file) {
  unsigned char header[kSzddHeaderSize] = {};
  DWORD read = 0;
  DWORD got = 0;
  while (read < sizeof header && ReadFile(file, header + read, sizeof header - read, &got, nullptr) && got > 0)
    read += got;
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return SourceKind::Unusable;
  if (read < sizeof kSzddMagic || std::memcmp(header, kSzddMagic, sizeof kSzddMagic) != 0) return SourceKind::Plain;
  if (read < sizeof header || header[8] != 'A') return SourceKind::Unusable;
  return SourceKind::Compressed;
}

// Two handles on one file, whatever the spelling of the names they were
// opened with (case, ".", "..", short names, another drive mapping).
bool SameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION first{}, second{};
  if (!GetFileInformationByHandle(a, &first) || !GetFileInformationByHandle(b, &second)) return false;
  return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

bool WriteAll(HANDLE file, const char* data, DWORD size) {
  DWORD written = 0;
  return WriteFile(file, data, size, &written, nullptr) && written == size;
}

LzCopyResult CopyPlain(HANDLE source, HANDLE destination) {
  char buffer[16384];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(source, buffer, sizeof buffer, &got, nullptr)) return LzCopyResult::CopyFailed;
    if (got == 0) return LzCopyResult::Copied;
    if (!WriteAll(destination, buffer, got)) return LzCopyResult::CopyFailed;
  }
}

// Expands through the LZ library, which takes over the source handle and
// closes it. The library decodes to the end of the data without looking at
// the header's length: a file cut short, or one whose header claims another
// length, expands to the wrong size and fails here.
LzCopyResult CopyCompressed(OwnedFile& source, HANDLE destination) {
  const HFILE raw = static_cast<HFILE>(reinterpret_cast<INT_PTR>(source.get()));
  const INT expanding = LZInit(raw);
  if (expanding < 0) return LzCopyResult::SourceOpenFailed;
  source.release();
  char buffer[16384];
  LzCopyResult result = LzCopyResult::Copied;
  LONG total = 0;
  for (;;) {
    const INT got = LZRead(expanding, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0 || !WriteAll(destination, buffer, static_cast<DWORD>(got))) {
      result = LzCopyResult::CopyFailed;
      break;
    }
    total += got;
  }
  // Seeking to the end moves to the header's length; nothing is read after.
  if (result == LzCopyResult::Copied && LZSeek(expanding, 0, 2) != total) result = LzCopyResult::CopyFailed;
  LZClose(expanding);
  return result;
}

}  // namespace

std::string Win32InstallerFileSystem::ModulePath() {
  // The buffer grows until the whole path fits: a medium deep in a folder
  // tree is still found, never a cut path of a parent folder.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

bool Win32InstallerFileSystem::FileExists(std::string_view path) {
  if (!FitsInstallerPath(path)) return false;
  const DWORD attributes = GetFileAttributesA(std::string(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::uint64_t> Win32InstallerFileSystem::FileSize(std::string_view path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!FitsInstallerPath(path) || !GetFileAttributesExA(std::string(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32InstallerFileSystem::DirectoryExists(std::string_view path) {
  const DWORD attributes = GetFileAttributesA(std::string(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32InstallerFileSystem::EnterDirectory(std::string_view path) {
  return SetCurrentDirectoryA(std::string(path).c_str()) != FALSE;
}

bool Win32InstallerFileSystem::MakeDirectory(std::string_view path) {
  return CreateDirectoryA(std::string(path).c_str(), nullptr) != FALSE;
}

Text256 Win32InstallerFileSystem::WindowsDirectory() {
  Text256 path;
  path.FillWith([](char* buffer, std::size_t size) { GetWindowsDirectoryA(buffer, static_cast<UINT>(size)); });
  return path;
}

Text256 Win32InstallerFileSystem::SystemDirectory() {
  Text256 path;
  path.FillWith([](char* buffer, std::size_t size) { GetSystemDirectoryA(buffer, static_cast<UINT>(size)); });
  return path;
}

void Win32InstallerFileSystem::SetCriticalErrorMode(unsigned mode) { ::SetErrorMode(mode); }

LzCopyResult Win32InstallerFileSystem::CopyExpanded(std::string_view source, std::string_view destination) {
  if (!FitsInstallerPath(source)) return LzCopyResult::SourceOpenFailed;
  OwnedFile from(OpenSource(std::string(source)));
  if (!from.valid()) return LzCopyResult::SourceOpenFailed;
  const SourceKind kind = Examine(from.get());
  if (kind == SourceKind::Unusable) return LzCopyResult::SourceOpenFailed;

  // The destination is opened under exactly its own name (the LZ library's
  // open would write a compressed-style name beside a destination it cannot
  // create) and only emptied once it is known not to be the source itself.
  if (!FitsInstallerPath(destination)) return LzCopyResult::DestinationOpenFailed;
  OwnedFile to(CreateFileA(std::string(destination).c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!to.valid()) return LzCopyResult::DestinationOpenFailed;
  if (SameFile(from.get(), to.get())) return LzCopyResult::Copied;
  if (SetFilePointer(to.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER || !SetEndOfFile(to.get()))
    return LzCopyResult::DestinationOpenFailed;

  // The installed file keeps the time of the file on the medium.
  FILETIME written{};
  const bool haveTime = GetFileTime(from.get(), nullptr, nullptr, &written) != FALSE;
  const LzCopyResult result =
      kind == SourceKind::Compressed ? CopyCompressed(from, to.get()) : CopyPlain(from.get(), to.get());
  if (result == LzCopyResult::Copied && haveTime) SetFileTime(to.get(), nullptr, nullptr, &written);
  return result;
}

}  // namespace qv::win32
