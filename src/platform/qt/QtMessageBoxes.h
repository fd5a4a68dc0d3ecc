#pragma once

#include "platform/MessageBoxes.h"

namespace pelmora {

// Real message boxes, modal, without an owner window.
class QtMessageBoxes final : public MessageBoxes {
 public:
  MessageAnswer show(const MessageBoxRequest& request) override;
};

}  // namespace pelmora
