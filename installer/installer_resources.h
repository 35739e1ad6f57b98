// The installer's compiled resources (.res bytes), embedded for the hosts
// that read templates and strings with the portable reader.
#pragma once

#include <cstdint>
#include <span>

namespace qv {

std::span<const std::uint8_t> InstallerResourceBytes();

}  // namespace qv
