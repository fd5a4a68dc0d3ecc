#pragma once

#include <deque>
#include <vector>

#include "platform/MessageBoxes.h"

namespace pelmora::testing {

// Records every box and answers from a queue; the box's default once the queue is empty.
class RecordingMessageBoxes final : public MessageBoxes {
 public:
  MessageAnswer show(const MessageBoxRequest& request) override {
    shown.push_back(request);
    if (answers.empty()) return request.defaultAnswer;
    const MessageAnswer a = answers.front();
    answers.pop_front();
    return a;
  }

  std::deque<MessageAnswer> answers;
  std::vector<MessageBoxRequest> shown;
};

}  // namespace pelmora::testing
