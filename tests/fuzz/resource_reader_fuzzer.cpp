// The portable reader of compiled resources over any bytes: as a .res file
// (and every dialog, string and group icon in it), and as a raw dialog
// template, string-table block and group-icon directory. Malformed data must
// give "nothing", never a read past the end (AddressSanitizer watches).
#include <cstddef>
#include <cstdint>
#include <span>

#include "framework/resource_reader.h"
#include "tests/fuzz/fuzz_fields.h"

using namespace qv::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);

  if (const auto bundle = qv::ResourceBundle::FromResFile(bytes)) {
    // Ids that the seeds and the programs use; the reader is asked for
    // what it holds and for what it does not.
    for (const unsigned id : {1u, 16u, 17u, 100u, 101u, 128u, 200u, 2000u, 2001u}) {
      if (const auto dialog = bundle->Dialog(id)) {
        for (const auto& item : dialog->items) Require(dialog->Item(item.id) != nullptr, "a parsed item is found");
      }
      (void)bundle->String(id);
      if (const auto icon = bundle->Find(qv::ResourceType::GroupIcon, id)) (void)qv::ParseGroupIcon(*icon);
    }
  }
  (void)qv::ParseDialogTemplate(bytes);
  (void)qv::ParseGroupIcon(bytes);
  for (const unsigned id : {0u, 7u, 15u, 16u, 65535u}) (void)qv::ParseStringTableEntry(bytes, id);
  return 0;
}
