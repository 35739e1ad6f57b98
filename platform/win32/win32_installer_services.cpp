#include "platform/win32/win32_installer_services.h"

#include <lzexpand.h>

#include <cstring>
#include <string>

namespace qv::win32 {
namespace {

// An SZDD file starts with these eight bytes, the method 'A', the name's
// missing last character and the expanded length (32-bit, low byte first).
constexpr char kSzddMagic[8] = {'S', 'Z', 'D', 'D', '\x88', '\xF0', '\x27', '\x33'};
constexpr std::size_t kSzddHeaderSize = 14;

// The expanded length that the header of a compressed file gives; none for
// a file that the LZ library copies as it stands.
std::optional<unsigned long> SzddExpandedLength(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  unsigned char header[kSzddHeaderSize] = {};
  DWORD read = 0;
  const BOOL ok = ReadFile(file, header, sizeof header, &read, nullptr);
  CloseHandle(file);
  if (!ok || read != sizeof header || std::memcmp(header, kSzddMagic, sizeof kSzddMagic) != 0 || header[8] != 'A')
    return std::nullopt;
  return header[10] | (header[11] << 8) | (header[12] << 16) | (static_cast<unsigned long>(header[13]) << 24);
}

}  // namespace

Text256 Win32InstallerFileSystem::ModulePath() {
  Text256 path;
  path.FillWith([](char* buffer, std::size_t) { GetModuleFileNameA(nullptr, buffer, 255); });
  return path;
}

bool Win32InstallerFileSystem::FileExists(std::string_view path) {
  const std::string name(path);
  // OpenFile keeps the path in its 128-byte structure and fails on a longer
  // one: such a path is asked of the file attributes instead.
  if (name.size() < OFS_MAXPATHNAME) {
    OFSTRUCT info{};
    info.cBytes = sizeof info;
    return OpenFile(name.c_str(), &info, OF_EXIST) != HFILE_ERROR;
  }
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
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
  std::string from(source), to(destination);
  // Every negative result is one of the library's error codes, never a handle.
  OFSTRUCT sourceInfo{};
  const INT sourceFile = LZOpenFileA(from.data(), &sourceInfo, OF_READ | OF_SHARE_DENY_NONE);
  if (sourceFile < 0) return LzCopyResult::SourceOpenFailed;
  OFSTRUCT destinationInfo{};
  const INT destinationFile = LZOpenFileA(to.data(), &destinationInfo, OF_CREATE | OF_WRITE);
  if (destinationFile < 0) {
    LZClose(sourceFile);
    return LzCopyResult::DestinationOpenFailed;
  }
  const LONG written = LZCopy(sourceFile, destinationFile);
  LZClose(sourceFile);
  LZClose(destinationFile);
  if (written < 0) return LzCopyResult::CopyFailed;
  // The library expands a truncated or damaged file as far as its data goes
  // and reports success; the header's length tells the whole file from a
  // short one. OpenFile left the name of the file it opened (perhaps the
  // compressed form of the name) in the structure.
  sourceInfo.szPathName[sizeof sourceInfo.szPathName - 1] = '\0';
  const auto expected = SzddExpandedLength(sourceInfo.szPathName);
  if (expected && static_cast<unsigned long>(written) != *expected) return LzCopyResult::CopyFailed;
  return LzCopyResult::Copied;
}

// ------------------------------------------------------------ firmware table

#if defined(__i386__)
namespace {

// Reads the word at `offset` under the data selector 0x40, which maps the
// BIOS data area on the platforms that allow it. NT-family Windows (and
// Wine) refuse the selector with an access fault; the handler below then
// resumes at the recovery label, which returns a value above 16 bits.
extern "C" const char qvBiosReadStart[] __asm__("qv_bios_read_start");
extern "C" const char qvBiosReadEnd[] __asm__("qv_bios_read_end");
extern "C" const char qvBiosReadRecover[] __asm__("qv_bios_read_recover");

__attribute__((naked, noinline, noclone)) std::uint32_t ReadBiosWord(std::uint32_t /*offset*/) {
  __asm__(
      "pushl %es\n\t"
      "movl 8(%esp), %ecx\n\t"
      "movl $0x40, %eax\n"
      ".globl qv_bios_read_start\n"
      "qv_bios_read_start:\n\t"
      "movw %ax, %es\n\t"
      "movzwl %es:(%ecx), %eax\n"
      ".globl qv_bios_read_end\n"
      "qv_bios_read_end:\n\t"
      "popl %es\n\t"
      "ret\n"
      ".globl qv_bios_read_recover\n"
      "qv_bios_read_recover:\n\t"
      "movl $0xFFFFFFFF, %eax\n\t"
      "popl %es\n\t"
      "ret\n");
}

LONG CALLBACK ResumeAfterBiosFault(EXCEPTION_POINTERS* info) {
  CONTEXT* context = info->ContextRecord;
  const auto at = static_cast<std::uintptr_t>(context->Eip);
  if (at < reinterpret_cast<std::uintptr_t>(qvBiosReadStart) || at >= reinterpret_cast<std::uintptr_t>(qvBiosReadEnd))
    return EXCEPTION_CONTINUE_SEARCH;
  context->SegEs = context->SegDs;
  context->Eip = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(qvBiosReadRecover));
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

std::optional<std::array<std::uint16_t, 3>> Win32FirmwarePortTable::ReadBaseAddresses() {
  PVOID handler = AddVectoredExceptionHandler(1, ResumeAfterBiosFault);
  if (!handler) return std::nullopt;
  std::array<std::uint16_t, 3> words{};
  bool refused = false;
  for (std::size_t i = 0; i < words.size() && !refused; ++i) {
    const std::uint32_t word = ReadBiosWord(8 + 2 * static_cast<std::uint32_t>(i));
    refused = word > 0xFFFF;
    words[i] = static_cast<std::uint16_t>(word);
  }
  RemoveVectoredExceptionHandler(handler);
  if (refused) return std::nullopt;
  return words;
}
#else
// A 64-bit CPU has no segment selectors to map the BIOS data area with: the
// table is never readable there, and the port count comes from the system.
std::optional<std::array<std::uint16_t, 3>> Win32FirmwarePortTable::ReadBaseAddresses() { return std::nullopt; }
#endif

int Win32FirmwarePortTable::CountKnownPorts() {
  // Where the BIOS data area is out of reach (every NT-family Windows, and
  // Wine), the LPT devices that the system has set up are the nearest count
  // a user program can get; a fresh Wine prefix knows none.
  int count = 0;
  for (const char* name : {"LPT1", "LPT2", "LPT3"}) {
    char target[1024];
    if (QueryDosDeviceA(name, target, sizeof target) != 0) ++count;
  }
  return count;
}

// ------------------------------------------------------------------ brushes

std::unique_ptr<PlatformBrush> MakeSolidBrush(std::uint32_t colour) {
  return std::make_unique<Win32Brush>(CreateSolidBrush(colour));
}

}  // namespace qv::win32
