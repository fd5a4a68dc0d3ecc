#pragma once

#include <string>
#include <string_view>

namespace pelmora {

// The program's texts are UTF-8; the system's wide-character calls take UTF-16.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The system's own description of an error code, as UTF-8, with the code.
std::string systemErrorText(unsigned long code);

}  // namespace pelmora
