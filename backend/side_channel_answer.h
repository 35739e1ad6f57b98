// What the backend answers on CUPS's side channel: the output is drained
// (a ppdev write returns once its bytes are out of the port), there is no
// bidirectional channel, the printer counts as connected; anything else is
// not implemented. A filter takes only "OK" as success (as CUPS's own
// backends answer); "none" would fail a driver that drains as it goes.
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
