// A console writer converts its bytes as they come: a letter split between two writes must
// wait for its second half, never be written as two broken ones.

#include "platform/Utf8Text.h"

#include <string>

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(Utf8TextTest, AnUnfinishedLetterAtTheEndWaits) {
  const std::string text = "ц. 0.75 ₽ 𝄞";  // two, three and four bytes a letter
  // Cut after every byte: what is written is always whole letters, and nothing whole waits.
  std::size_t writtenBefore = 0;
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    const std::size_t whole = wholeUtf8Length(std::string_view(text).substr(0, cut));
    EXPECT_LE(whole, cut);
    EXPECT_GE(whole, writtenBefore);
    EXPECT_GT(whole + 4, cut) << cut;
    // A whole prefix converts back to itself: no letter is cut in it.
    const std::string prefix = text.substr(0, whole);
    EXPECT_EQ(wholeUtf8Length(prefix), prefix.size()) << cut;
    writtenBefore = whole;
  }
  EXPECT_EQ(wholeUtf8Length(text), text.size());
  EXPECT_EQ(wholeUtf8Length("\xD1"), 0u);       // the first half of "ц"
  EXPECT_EQ(wholeUtf8Length("a\xE2\x82"), 1u);  // two thirds of "₽"
  EXPECT_EQ(wholeUtf8Length("ab"), 2u);
  EXPECT_EQ(wholeUtf8Length(""), 0u);
}

}  // namespace
}  // namespace pelmora
