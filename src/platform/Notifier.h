#pragma once

#include <string>

namespace pelmora {

// A short notice to the user outside the program's windows (the budget notices): the desktop's
// notification, or whatever stands in for it. Never blocks and never fails the caller.
class Notifier {
 public:
  virtual ~Notifier() = default;
  // Shows the notice with its title and text.
  virtual void notify(const std::string& title, const std::string& text) = 0;
};

}  // namespace pelmora
