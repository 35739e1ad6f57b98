#include "backend/side_channel_answer.h"

namespace qv::backend {

SideChannelAnswer AnswerOf(cups_sc_command_t command) {
  switch (command) {
    case CUPS_SC_CMD_DRAIN_OUTPUT:
      return {CUPS_SC_STATUS_OK, {}};
    case CUPS_SC_CMD_GET_BIDI:
      return {CUPS_SC_STATUS_OK, std::string(1, static_cast<char>(CUPS_SC_BIDI_NOT_SUPPORTED))};
    case CUPS_SC_CMD_GET_CONNECTED:
      return {CUPS_SC_STATUS_OK, std::string(1, '\1')};
    default:
      return {CUPS_SC_STATUS_NOT_IMPLEMENTED, {}};
  }
}

}  // namespace qv::backend
