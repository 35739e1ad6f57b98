// The installer's file system: its own program path, the existence test of
// the information file, entering and creating directories, the Windows and
// system directories, the error mode, and copying a file with LZ expansion.
// Paths are the platform's own ("C:\QV27-518\A.EXE"); the caller keeps each
// in a 256-byte buffer.
#pragma once

#include <string_view>

#include "framework/fixed_text.h"

namespace qv {

// How one copy ended: copied, or the step that failed.
enum class LzCopyResult { Copied, SourceOpenFailed, DestinationOpenFailed, CopyFailed };

// The error mode that turns the platform's critical-error prompts (a drive
// without its medium) into plain failures of the call.
inline constexpr unsigned kFailCriticalErrors = 1;

class InstallerFileSystem {
 public:
  virtual ~InstallerFileSystem() = default;

  // The running program's full path, as the platform gives it into a buffer
  // of 255 characters.
  virtual Text256 ModulePath() = 0;
  // True when the file exists; no handle stays open.
  virtual bool FileExists(std::string_view path) = 0;
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

  // Opens the source for reading, creates (or empties) the destination and
  // copies the source into it, expanding a source compressed in the
  // platform's LZ format (SZDD) and copying any other byte for byte. A
  // compressed source that expands to another length than its header gives
  // is a failed copy. Both files are closed again in every case.
  virtual LzCopyResult CopyExpanded(std::string_view source, std::string_view destination) = 0;
};

}  // namespace qv
