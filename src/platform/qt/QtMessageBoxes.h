#pragma once

#include <functional>
#include <utility>

#include "platform/MessageBoxes.h"

namespace pelmora {

// Real message boxes, modal, without an owner window.
class QtMessageBoxes final : public MessageBoxes {
 public:
  // `ending` tells whether the program has begun to end; a box it closed throws ProgramEnding.
  explicit QtMessageBoxes(std::function<bool()> ending = {}) : m_ending(std::move(ending)) {}

  MessageAnswer show(const MessageBoxRequest& request) override;

 private:
  std::function<bool()> m_ending;
};

}  // namespace pelmora
