// The compiled resources of the framework's own test dialogs.
#pragma once

#include <cstdint>
#include <span>

#include "framework/resource_reader.h"

namespace qv {

std::span<const std::uint8_t> FrameworkTestResourceBytes();

inline ResourceBundle FrameworkTestResources() { return *ResourceBundle::FromResFile(FrameworkTestResourceBytes()); }

}  // namespace qv
