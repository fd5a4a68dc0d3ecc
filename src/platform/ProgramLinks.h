#pragma once

// The addresses are chosen when the program is configured: the CMake cache variables
// PELMORA_WEB_PAGE and PELMORA_MAIL.
#if !defined(PELMORA_WEB_PAGE) || !defined(PELMORA_MAIL)
#error "PELMORA_WEB_PAGE and PELMORA_MAIL come from the build (link pelmora_platform)"
#endif

namespace pelmora {

// The program's web page: the default connect program opens it, and the information tab links
// to it.
inline constexpr const char* kWebPageAddress = PELMORA_WEB_PAGE;
// The feedback address of the information tab's mail link.
inline constexpr const char* kMailAddress = PELMORA_MAIL;

}  // namespace pelmora
