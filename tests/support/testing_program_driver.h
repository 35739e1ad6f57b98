// What the programs' drivers on the testing host share: the message boxes
// that the host showed, in the scenarios' terms.
#pragma once

#include <algorithm>
#include <vector>

#include "framework/dialog_manager.h"
#include "tests/support/program_driver.h"
#include "tests/support/testing_host.h"

namespace qv::testing {

// The boxes the host showed from the `from`th on.
inline std::vector<BoxSeen> BoxesShown(const TestingHost& host, std::size_t from) {
  std::vector<BoxSeen> boxes;
  for (std::size_t i = from; i < host.MessageBoxes().size(); ++i) {
    const ShownMessageBox& shown = host.MessageBoxes()[i];
    BoxSeen& box = boxes.emplace_back();
    box = {shown.caption, shown.text, IconOfStyle(shown.style), {}, ""};
    for (const auto& button : dialog_manager::MessageBoxButtons(shown.style))
      box.buttons.push_back(button.id);
    std::sort(box.buttons.begin(), box.buttons.end());
  }
  return boxes;
}

}  // namespace qv::testing
