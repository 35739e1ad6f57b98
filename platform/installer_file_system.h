// The installer's file system: its own program path, the existence test of
// the information file, entering and creating directories, the Windows and
// system directories, the error mode, and copying a file with LZ expansion.
// Paths are the platform's own ("C:\QV27-518\A.EXE"); the caller keeps each
// in a 256-byte buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/fixed_text.h"

namespace qv {

// How one copy ended: copied, or the step that failed.
enum class LzCopyResult { Copied, SourceOpenFailed, DestinationOpenFailed, CopyFailed };

// The error mode that turns the platform's critical-error prompts (a drive
// without its medium) into plain failures of the call.
inline constexpr unsigned kFailCriticalErrors = 1;

class InstallerFileSystem {
 public:
  virtual ~InstallerFileSystem() = default;

  // The running program's full path, however long.
  virtual std::string ModulePath() = 0;
  // True when the file exists, is no directory and can be read; no handle
  // stays open.
  virtual bool FileExists(std::string_view path) = 0;
  // The size of a file that FileExists accepts; nothing otherwise.
  virtual std::optional<std::uint64_t> FileSize(std::string_view path) = 0;
  virtual bool DirectoryExists(std::string_view path) = 0;
  // Makes the directory the process's working directory; true on success,
  // which is exactly when it exists and can be entered. "D:" selects the
  // current directory of drive D.
  virtual bool EnterDirectory(std::string_view path) = 0;
  // Creates the last component of the path; true when it was created.
  virtual bool MakeDirectory(std::string_view path) = 0;
  // Without a trailing backslash.
  virtual Text256 WindowsDirectory() = 0;
  virtual Text256 SystemDirectory() = 0;
  virtual void SetCriticalErrorMode(unsigned mode) = 0;

  // The platform's own form of paths: the separator it joins names with,
  // the form in which a path of the information file ("C:\QV27-518") is
  // shown to the user, and the path meant by what the user typed (empty
  // when it means none). Windows takes its paths as they are.
  virtual char Separator() const { return '\\'; }
  virtual std::string ShownPath(std::string_view path) const { return std::string(path); }
  virtual std::string TypedPath(std::string_view typed) const { return std::string(typed); }

  // Opens the source for reading, creates (or empties) the destination and
  // copies the source into it, expanding a source compressed in the
  // platform's LZ format (SZDD) and copying any other byte for byte. Both
  // files are closed again in every case. In detail:
  // - a source missing under its own name is looked for under its
  //   compressed name (the extension's last character replaced by "_");
  // - a source with the SZDD signature that cannot be expanded (another
  //   method than 'A', a header cut short) fails to open, and nothing is
  //   created; one that expands to another length than its header gives is
  //   a failed copy;
  // - the destination is written under exactly its own name, never another;
  // - a destination that is the source itself, however spelled, is left as
  //   it is and counts as copied;
  // - destinations longer than 255 characters fail to open; so do sources
  //   on Windows (FileExists says no), while Linux reads a medium however
  //   deep it lies.
  virtual LzCopyResult CopyExpanded(std::string_view source, std::string_view destination) = 0;
};

}  // namespace qv
