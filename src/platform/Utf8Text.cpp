#include "platform/Utf8Text.h"

namespace pelmora {

std::size_t wholeUtf8Length(std::string_view bytes) {
  // A sequence is at most four bytes long: only the last three can belong to an unfinished one.
  const std::size_t size = bytes.size();
  for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
    const auto byte = static_cast<unsigned char>(bytes[size - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    std::size_t length = 1;
    if ((byte & 0xE0) == 0xC0) length = 2;
    if ((byte & 0xF0) == 0xE0) length = 3;
    if ((byte & 0xF8) == 0xF0) length = 4;
    return length > back ? size - back : size;
  }
  return size;
}

}  // namespace pelmora
