// Any bytes as Account.LOG: the token reader never crashes or overruns, never returns more than
// its bound, and returns the first run of non-blank characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "store/AccountLog.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const pelmora::AccountToken token = pelmora::AccountLog::firstToken(content);
  check(token.status != pelmora::AccountToken::Status::Missing);
  check(token.text.size() <= pelmora::AccountLog::kLongestToken);

  std::size_t begin = 0;
  while (begin < content.size() && isBlank(content[begin])) ++begin;
  std::size_t end = begin;
  while (end < content.size() && !isBlank(content[end])) ++end;
  const std::string_view expected = content.substr(begin, end - begin);
  if (token.status == pelmora::AccountToken::Status::Read) {
    check(token.text == expected);
  } else {
    check(expected.size() > pelmora::AccountLog::kLongestToken);
    check(token.text == expected.substr(0, pelmora::AccountLog::kLongestToken));
  }
  return 0;
}
