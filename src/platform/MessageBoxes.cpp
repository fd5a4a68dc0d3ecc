#include "platform/MessageBoxes.h"

#include <utility>

namespace pelmora {

MessageBoxRequest informationBox(std::string title, std::string text, MessageIcon icon) {
  return {std::move(title), std::move(text), MessageButtons::Ok, icon, MessageAnswer::Ok};
}

MessageBoxRequest questionBox(std::string title, std::string text, MessageAnswer defaultAnswer) {
  return {std::move(title), std::move(text), MessageButtons::YesNo, MessageIcon::Question,
          defaultAnswer};
}

}  // namespace pelmora
