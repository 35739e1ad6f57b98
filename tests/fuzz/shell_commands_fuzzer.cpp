// The Windows shell's program-group commands composed from the information
// file's texts: whatever the texts, a call makes at most one command, and it
// carries the texts unchanged; a text refused is one the syntax cannot carry.
// Fields: group name, install path, file name, Windows directory, caption.
// A file named README.TXT (any case) is a text file, as the installer has it.
#include <cstddef>
#include <cstdint>

#include "base/text_case.h"
#include "platform/win32/shell_commands.h"
#include "tests/fuzz/fuzz_fields.h"
#include "tests/fuzz/shell_command_syntax.h"

using namespace qv::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = SplitFields(data, size);
  const std::string_view group = Field(fields, 0);
  qv::ProgramGroupItem item;
  item.installPath = Field(fields, 1);
  item.fileName = Field(fields, 2);
  item.caption = Field(fields, 4);
  item.kind = qv::EqualsIgnoringCase(item.fileName, "README.TXT") ? qv::GroupItemKind::TextFile
                                                                    : qv::GroupItemKind::Program;
  const std::string line = qv::win32::ItemCommandLine(item, Field(fields, 3));

  const auto create = qv::win32::CreateGroupCommand(group);
  Require(create.has_value() == !HoldsUncarriable(group), "a group name is refused exactly when it cannot be carried");
  if (create) {
    const auto read = ReadShellCommands(*create);
    Require(read && read->size() == 1, "a group makes one command");
    Require((*read)[0] == ShellCommand{"CreateGroup", {std::string(group)}}, "the group name is carried unchanged");
  }

  const auto add = qv::win32::AddItemCommand(item, Field(fields, 3));
  Require(add.has_value() == !(HoldsUncarriable(line) || HoldsUncarriable(item.caption)),
          "an item is refused exactly when it cannot be carried");
  if (add) {
    const auto read = ReadShellCommands(*add);
    Require(read && read->size() == 1, "an item makes one command");
    Require((*read)[0] == ShellCommand{"AddItem", {line, std::string(item.caption)}},
            "the command line and caption are carried unchanged");
  }
  return 0;
}
