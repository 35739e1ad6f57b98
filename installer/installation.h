// The installation's steps as plain functions over the platform services and
// the information file's value: counting the ports, settling the install
// directory, resolving where a file comes from and goes, the program
// group's items, and the configuration entries. The main dialog runs them
// in order with its status line, pauses and prompts between them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "installer/info_file.h"
#include "platform/shell_program_group.h"
#include "platform/firmware_port_table.h"
#include "platform/installer_file_system.h"
#include "platform/profile_store.h"

namespace qv {

// The largest information file a medium may carry; a larger one is damaged.
inline constexpr std::uint64_t kLargestInfoFile = 1 << 20;

// The ports that hold a standard base address in the firmware's table, or
// the ports the system knows when the table cannot be read.
std::int32_t CountParallelPorts(FirmwarePortTable& table);

// The install directory from what the user typed, in the platform's own
// form and without a trailing separator, with every missing directory on
// the way created; nothing when the path cannot be used (empty, too long,
// not from a drive's root, a step to a parent, a drive that is not there).
std::optional<std::string> PrepareInstallDir(InstallerFileSystem& files, std::string_view typed);

// A path built for one copy, and whether it may be used: a path too long
// for its buffer, a directory index that names no directory, or a name that
// breaks the medium's rule fails like a file that cannot be opened.
struct ResolvedPath {
  std::string text;
  bool usable = false;
};
// The file `name` in directory entry `dirIndex` (1-based) of `base`: the
// base itself for ".", the Windows or system directory for "windows" and
// "system", else the base's subdirectory. Paths longer than `longest`
// characters are not usable.
ResolvedPath ResolvePath(InstallerFileSystem& files, const InfoFile& info, std::string_view base,
                         std::string_view name, std::int32_t dirIndex, std::size_t longest);

// The group's items, each a file inside the installation; an item whose
// file would lie outside it is left out. The medium's guide opens as text;
// every other item starts its file. The items view `info` and
// `installPath`, which must outlive them.
std::vector<ProgramGroupItem> ProgramGroupItems(const InfoFile& info, std::string_view installPath);

// "PortCount" and "InstalledDir" into the configuration file that the
// information file names; nothing without one. False when the file did not
// take them.
bool WriteConfigurationEntries(ProfileStore& profile, const InfoFile& info, std::int32_t portCount,
                               std::string_view installPath);

}  // namespace qv
