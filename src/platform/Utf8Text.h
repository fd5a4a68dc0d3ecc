#pragma once

#include <cstddef>
#include <string_view>

namespace pelmora {

// How many of the bytes end on a whole character: the length without a multi-byte sequence
// the bytes stop in the middle of. A writer that converts its buffer as it fills keeps the rest
// for the next round, so no letter is cut in two.
std::size_t wholeUtf8Length(std::string_view bytes);

}  // namespace pelmora
