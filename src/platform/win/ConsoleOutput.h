#pragma once

#include <ostream>
#include <string_view>

namespace pelmora {

// A console shows its own code page (866 for a Russian Windows), not the program's UTF-8: text
// for a console is written to it as wide characters. Output redirected to a file or a pipe stays
// UTF-8 bytes.

// Writes the text to the handle: as wide characters when it is a console, else as the bytes.
// False when nothing could be written.
bool writeText(void* handle, std::string_view utf8);

// Makes the stream write through the console as wide characters when the standard handle
// (STD_OUTPUT_HANDLE, STD_ERROR_HANDLE) is a console; leaves it as it is otherwise.
void writeStreamToConsole(std::ostream& stream, unsigned long standardHandle);

}  // namespace pelmora
