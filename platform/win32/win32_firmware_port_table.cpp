#include "platform/win32/win32_firmware_port_table.h"

#include <windows.h>

#include <cstdint>

namespace qv::win32 {

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

}  // namespace qv::win32
