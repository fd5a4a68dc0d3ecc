#pragma once

namespace pelmora {

// The program's web page: the default connect program opens it, and the information tab links
// to it.
inline constexpr const char* kWebPageAddress = "https://pelmora.example.org/";

}  // namespace pelmora
