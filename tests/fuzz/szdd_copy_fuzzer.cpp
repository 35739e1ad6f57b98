// The Linux installer file system's copy with expansion over any source
// file: SZDD or plain, whole, cut short or damaged. A copy reported done has
// put exactly the expanded file in place (checked against the tests' own
// decoder of the format, tests/support/szdd.h); a copy reported failed has
// left no file and no temporary file behind.
// Input: the source file's bytes.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>

#include "platform/posix/posix_installer_file_system.h"
#include "tests/fuzz/fuzz_fields.h"
#include "tests/support/szdd.h"

namespace fs = std::filesystem;
using namespace qv::fuzz;
using namespace qv::testing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const fs::path& home = RunDirectory("qv-szdd-fuzz");
  for (const auto& entry : fs::directory_iterator(home)) fs::remove_all(entry.path());
  WriteFileBytes(home / "SOURCE.EX_", input);

  qv::posix::PosixInstallerFileSystem files(home, home / "windows", home / "system");
  const qv::LzCopyResult result = files.CopyExpanded("C:\\SOURCE.EX_", "C:\\TARGET.EXE");
  const std::optional<std::string> copied = FileBytes(home / "TARGET.EXE");
  const auto entries = std::distance(fs::directory_iterator(home), fs::directory_iterator());
  if (result != qv::LzCopyResult::Copied) {
    Require(!copied.has_value(), "a failed copy leaves no destination");
    Require(entries == 1, "a failed copy leaves no temporary file");
    return 0;
  }
  Require(copied.has_value() && entries == 2, "a copy reported done is in place, alone");
  if (!HasSzddSignature(input)) {
    Require(*copied == input, "a file without the signature is copied as it stands");
    return 0;
  }
  Require(input.size() >= kSzddHeaderSize && input[8] == 'A',
          "only a whole header of method 'A' expands");
  Require(copied->size() == SzddClaimedLength(input),
          "the expanded file has the length its header gives");
  Require(*copied == SzddExpand(input), "the expanded file is what the data says");
  return 0;
}
