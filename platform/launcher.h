// The launcher: starts a program from a command line, without waiting for
// it. Whether the start worked is not reported.
#pragma once

#include <string_view>

namespace qv {

class Launcher {
 public:
  virtual ~Launcher() = default;
  virtual void Start(std::string_view commandLine) = 0;
};

}  // namespace qv
