#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/MessageBoxes.h"

namespace pelmora {

// Answers message boxes from a comma-separated list ("yes,no,ok") instead of showing them, and
// writes each box to a stream as "title | text" with line breaks as \n. Once the list is used
// up, every box gets its default answer. Chosen when PELMORA_ANSWERS is set.
class ScriptedMessageBoxes final : public MessageBoxes {
 public:
  ScriptedMessageBoxes(const std::string& answers, std::ostream& transcript);
  MessageAnswer show(const MessageBoxRequest& request) override;

 private:
  std::vector<std::string> m_answers;
  std::size_t m_next = 0;
  std::ostream& m_transcript;
};

}  // namespace pelmora
