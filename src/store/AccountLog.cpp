#include "store/AccountLog.h"

#include <cstdio>
#include <utility>

#include "store/TextFile.h"

namespace pelmora {

namespace {

bool isBlank(int c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads characters from `next` (EOF at the end) one at a time, so neither a long run of blanks
// nor a long token ever needs more than kLongestToken + 1 characters of memory.
template <typename Next>
AccountToken scanFirstToken(Next next) {
  AccountToken token;
  token.status = AccountToken::Status::Read;
  int c = next();
  while (c != EOF && isBlank(c)) c = next();
  while (c != EOF && !isBlank(c)) {
    if (token.text.size() == AccountLog::kLongestToken) {
      token.status = AccountToken::Status::TooLong;
      break;
    }
    token.text.push_back(static_cast<char>(c));
    c = next();
  }
  token.text = fromFileText(token.text);
  return token;
}

}  // namespace

AccountLog::AccountLog(std::filesystem::path path) : m_path(std::move(path)) {}

bool AccountLog::rewrite(const std::string& balanceText) const {
  return replaceFile(m_path, toFileText(balanceText) + kLineEnd);
}

AccountToken AccountLog::readFirstToken() const {
  if (!canOpenForReading(m_path)) return {};
  std::FILE* f = detail::openFile(m_path, "rb");
  if (f == nullptr) return {};
  AccountToken token = scanFirstToken([f] { return std::fgetc(f); });
  std::fclose(f);
  return token;
}

AccountToken AccountLog::firstToken(std::string_view content) {
  std::size_t i = 0;
  return scanFirstToken(
      [&] { return i < content.size() ? static_cast<unsigned char>(content[i++]) : EOF; });
}

}  // namespace pelmora
