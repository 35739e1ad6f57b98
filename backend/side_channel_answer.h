// What the backend answers on CUPS's side channel: the output is drained
// (a ppdev write returns once its bytes are out of the port), there is no
// bidirectional channel, the printer counts as connected; anything else is
// not implemented.
#pragma once

#include <cups/sidechannel.h>

#include <string>

namespace qv::backend {

struct SideChannelAnswer {
  cups_sc_status_t status;
  std::string data;
};

SideChannelAnswer AnswerOf(cups_sc_command_t command);

}  // namespace qv::backend
