#pragma once

#include <string>

namespace pelmora {

// Hands an address to the desktop's program for it (a web page to the browser, a "mailto:"
// address to the mail program, a "file:" URL to the file's default application), without
// waiting for that program.
class AddressOpener {
 public:
  virtual ~AddressOpener() = default;
  // Opens an absolute, percent-encoded address; false when no program could be started for it.
  virtual bool open(const std::string& address) = 0;
};

}  // namespace pelmora
