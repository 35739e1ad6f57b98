// The Linux installer file system's copy with expansion over any source
// file: SZDD or plain, whole, cut short or damaged. A copy reported done has
// put exactly the expanded file in place (checked against a decoder of the
// format written here from its description); a copy reported failed has left
// no file and no temporary file behind.
// Input: the source file's bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "platform/posix/posix_installer_file_system.h"
#include "tests/fuzz/fuzz_directory.h"
#include "tests/fuzz/fuzz_fields.h"

namespace {

namespace fs = std::filesystem;
using namespace qv::fuzz;

const fs::path& Directory() { return RunDirectory("qv-szdd-fuzz"); }

std::optional<std::string> FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr std::string_view kMagic("SZDD\x88\xF0\x27\x33", 8);
constexpr std::size_t kHeaderSize = 14;

// The SZDD method 'A': LZSS over a 4096-byte window that starts as spaces,
// written from 16 bytes before its end. Each control byte, lowest bit first,
// says literal (1) or match (0: 12-bit window position, 4-bit length - 3).
// The data ends where the file ends; a match cut short gives nothing.
std::string Expand(std::string_view data) {
  unsigned char window[4096];
  std::memset(window, ' ', sizeof window);
  unsigned pos = 4096 - 16;
  std::string out;
  std::size_t i = 0;
  while (i < data.size()) {
    unsigned control = static_cast<unsigned char>(data[i++]);
    for (int bit = 0; bit < 8 && i < data.size(); ++bit, control >>= 1) {
      if (control & 1) {
        const auto c = static_cast<unsigned char>(data[i++]);
        out += static_cast<char>(c);
        window[pos] = c;
        pos = (pos + 1) & 4095;
        continue;
      }
      if (i + 1 >= data.size()) return out;
      const auto low = static_cast<unsigned char>(data[i]);
      const auto high = static_cast<unsigned char>(data[i + 1]);
      i += 2;
      unsigned from = low | ((high & 0xF0u) << 4);
      for (unsigned n = (high & 0x0Fu) + 3; n > 0; --n) {
        const unsigned char c = window[from];
        out += static_cast<char>(c);
        window[pos] = c;
        pos = (pos + 1) & 4095;
        from = (from + 1) & 4095;
      }
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const fs::path& home = Directory();
  for (const auto& entry : fs::directory_iterator(home)) fs::remove_all(entry.path());
  {
    std::ofstream out(home / "SOURCE.EX_", std::ios::binary);
    out.write(input.data(), static_cast<std::streamsize>(input.size()));
  }

  qv::posix::PosixInstallerFileSystem files(home, home / "windows", home / "system");
  const qv::LzCopyResult result = files.CopyExpanded("C:\\SOURCE.EX_", "C:\\TARGET.EXE");
  const std::optional<std::string> copied = FileBytes(home / "TARGET.EXE");

  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(home)) ++entries;
  if (result != qv::LzCopyResult::Copied) {
    Require(!copied.has_value(), "a failed copy leaves no destination");
    Require(entries == 1, "a failed copy leaves no temporary file");
    return 0;
  }
  Require(copied.has_value() && entries == 2, "a copy reported done is in place, alone");
  if (!input.starts_with(kMagic)) {
    Require(*copied == input, "a file without the signature is copied as it stands");
    return 0;
  }
  Require(input.size() >= kHeaderSize && input[8] == 'A', "only a whole header of method 'A' expands");
  const std::uint32_t length = static_cast<unsigned char>(input[10]) | static_cast<unsigned char>(input[11]) << 8 |
                               static_cast<unsigned char>(input[12]) << 16 |
                               static_cast<std::uint32_t>(static_cast<unsigned char>(input[13])) << 24;
  Require(copied->size() == length, "the expanded file has the length its header gives");
  Require(*copied == Expand(input.substr(kHeaderSize)), "the expanded file is what the data says");
  return 0;
}
