// The program-group commands composed from the information file's texts:
// whatever the texts, a call makes at most one command, and it carries the
// texts unchanged; a text refused is one the syntax cannot carry.
// Fields: group name, install path, file name, Windows directory, caption.
#include <cstddef>
#include <cstdint>

#include "installer/shell_commands.h"
#include "tests/fuzz/fuzz_fields.h"
#include "tests/fuzz/shell_command_syntax.h"

using namespace qv::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = SplitFields(data, size);
  const std::string_view group = Field(fields, 0);
  const std::string line = qv::ItemCommandLine(Field(fields, 1), Field(fields, 2), Field(fields, 3));
  const std::string_view caption = Field(fields, 4);

  const auto create = qv::CreateGroupCommand(group);
  Require(create.has_value() == !HoldsUncarriable(group), "a group name is refused exactly when it cannot be carried");
  if (create) {
    const auto read = ReadShellCommands(*create);
    Require(read && read->size() == 1, "a group makes one command");
    Require((*read)[0] == ShellCommand{"CreateGroup", {std::string(group)}}, "the group name is carried unchanged");
  }

  const auto add = qv::AddItemCommand(line, caption);
  Require(add.has_value() == !(HoldsUncarriable(line) || HoldsUncarriable(caption)),
          "an item is refused exactly when it cannot be carried");
  if (add) {
    const auto read = ReadShellCommands(*add);
    Require(read && read->size() == 1, "an item makes one command");
    Require((*read)[0] == ShellCommand{"AddItem", {line, std::string(caption)}},
            "the command line and caption are carried unchanged");
  }
  return 0;
}
