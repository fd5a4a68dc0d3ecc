#pragma once

#include <exception>
#include <string>

namespace pelmora {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Question, Warning, Error };
enum class MessageAnswer { Ok, Yes, No };

// One message box: what it says and which answer Enter would give.
struct MessageBoxRequest {
  std::string title;  // UTF-8
  std::string text;   // UTF-8, '\n' for line breaks
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::Information;
  MessageAnswer defaultAnswer = MessageAnswer::Ok;
};

// Thrown by a box that the program's end (a shutdown signal) closed: nobody answered, and the
// step that asked must not act on an answer.
class ProgramEnding : public std::exception {
 public:
  const char* what() const noexcept override { return "the program is ending"; }
};

// Every message box of the program goes through this seam, so tests can answer them.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box modally and returns the button the user chose.
  virtual MessageAnswer show(const MessageBoxRequest& request) = 0;
};

// Shorthands for the two kinds of box the program uses.
MessageBoxRequest informationBox(std::string title, std::string text,
                                 MessageIcon icon = MessageIcon::Information);
MessageBoxRequest questionBox(std::string title, std::string text, MessageAnswer defaultAnswer);

}  // namespace pelmora
