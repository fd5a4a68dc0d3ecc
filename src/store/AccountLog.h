#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace pelmora {

// The first token of Account.LOG, as a reader finds it.
struct AccountToken {
  enum class Status {
    Missing,  // the file cannot be opened for reading
    Read,     // text holds the token; empty for an empty or blank file
    TooLong,  // the token is longer than any balance the program writes; text holds its start
  };
  Status status = Status::Missing;
  std::string text;
};

// Account.LOG, the second copy of the account balance: one line, the balance text and a line
// end. It lets the start-up notice a balance lost or changed behind the program's back.
class AccountLog {
 public:
  // The longest token read. The program's own balance texts have at most 21 characters (sign,
  // 15 digits, separator, exponent) and a corrected balance at most 8.
  static constexpr std::size_t kLongestToken = 64;

  explicit AccountLog(std::filesystem::path path);

  // Replaces the file with the balance text and a line end, atomically: a crash leaves the
  // previous complete balance. False when it could not be written (the balance copy is lost).
  bool rewrite(const std::string& balanceText) const;
  // The first run of non-blank characters after any blanks, tabs and line ends.
  AccountToken readFirstToken() const;

  const std::filesystem::path& path() const { return m_path; }

  // The same reader over a content already in memory.
  static AccountToken firstToken(std::string_view content);

 private:
  std::filesystem::path m_path;
};

}  // namespace pelmora
