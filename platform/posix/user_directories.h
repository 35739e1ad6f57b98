// Where a user's own files live on Linux: the home directory and the XDG
// configuration and data folders. The installer and the profile store both
// place files there, so they ask one place.
#pragma once

#include <filesystem>

namespace qv::posix {

// $HOME, or the password database's entry when HOME is unset or empty;
// empty when neither gives one.
std::filesystem::path HomeDirectory();
// $XDG_CONFIG_HOME when it holds an absolute path, else ~/.config; empty
// without a home.
std::filesystem::path ConfigHome();
// $XDG_DATA_HOME when it holds an absolute path, else ~/.local/share.
std::filesystem::path DataHome();

}  // namespace qv::posix
