#include "settings/SettingsNumericEdit.h"

#include <gtest/gtest.h>

#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "support/MemorySettingsStore.h"

namespace pelmora {
namespace {

using testing::MemorySettingsStore;

TEST(DialogIntegerTest, AcceptsWhatTheEditsConvertAndNothingElse) {
  const std::pair<const char*, std::int32_t> accepted[] = {{"0", 0},
                                                           {"007", 7},
                                                           {"  -12", -12},
                                                           {"+7", 7},
                                                           {"$1F", 31},
                                                           {"x1f", 31},
                                                           {"0X10", 16},
                                                           {"-$10", -16},
                                                           {"2147483647", 2147483647},
                                                           {"-2147483648", -2147483647 - 1},
                                                           {"$7FFFFFFF", 2147483647}};
  for (const auto& [text, value] : accepted) {
    EXPECT_EQ(parseDialogInteger(text), value) << text;
  }
  for (const char* text : {"",
                           " ",
                           "-",
                           "+",
                           "$",
                           "0x",
                           "x",
                           "12 ",
                           "1 000",
                           "1,5",
                           "1.0",
                           "--1",
                           "+-1",
                           "1e3",
                           "$G",
                           "2147483648",
                           "-2147483649",
                           "$80000000",
                           "99999999999999999999",
                           "\t5"}) {
    EXPECT_FALSE(parseDialogInteger(text)) << '"' << text << '"';
  }
}

class NumericEditTest : public ::testing::Test {
 protected:
  NumericEditTest() {
    store.set(kProgramKey, "XX", 50);
    store.set(kProgramKey, "Zero", 5000);
    store.set(kProgramKey, "MaxCents", 100);
  }

  MemorySettingsStore store;
  std::int32_t last = -1;
  NumericEdit left{store, {"XX"}, {0, 1175}, ValidEntry::SetsPositionAndMovesEdge, 4, last};
  NumericEdit zero{store, {"Zero"}, {0, 900}, ValidEntry::SetsPosition, 3, last};
  NumericEdit cents{store, {"MaxCents"}, {0, 32500}, ValidEntry::RecordsOnly, 6, last};
};

TEST_F(NumericEditTest, ValidEntryIsClampedWrittenBackAndMovesTheWindowThere) {
  EditResult r = left.change("1174");
  EXPECT_EQ(r.text, "1174");
  EXPECT_EQ(r.moveEdge, 1174);
  r = left.change("1175");
  EXPECT_EQ(r.text, "1175");
  r = left.change("1176");
  EXPECT_EQ(r.text, "1175");
  EXPECT_EQ(r.position, 1175);
  EXPECT_EQ(r.moveEdge, 1175);  // the clamped value, not the typed one
  EXPECT_EQ(last, 1175);
  EXPECT_FALSE(r.beep);
  r = left.change("-1");
  EXPECT_EQ(r.text, "0");
  EXPECT_EQ(r.moveEdge, 0);
  // The up-down's own form: no leading zeros, no hexadecimal.
  EXPECT_EQ(left.change(" $10").text, "16");
  EXPECT_EQ(zero.change("0900").text, "900");
  EXPECT_FALSE(zero.change("900").beep);
  EXPECT_EQ(zero.change("901").text, "900");
}

TEST_F(NumericEditTest, RefusedTextGivesBackTheStoredValueWithABeep) {
  left.change("300");
  EditResult r = left.change("30a");
  EXPECT_EQ(r.text, "50");
  EXPECT_TRUE(r.beep);
  EXPECT_EQ(r.moveEdge, 50);
  EXPECT_EQ(last, 50);
  EXPECT_EQ(left.change("").text, "50");
  EXPECT_EQ(left.change("1 000").text, "50");
  // A stored value beyond the range comes back clamped.
  r = zero.change("-");
  EXPECT_EQ(r.text, "900");
  EXPECT_TRUE(r.beep);
  // Nothing is written by a validator.
  EXPECT_EQ(store.value(kProgramKey, "XX"), MemorySettingsStore::Value(50));
  EXPECT_EQ(store.value(kProgramKey, "Zero"), MemorySettingsStore::Value(5000));
}

TEST_F(NumericEditTest, StoredValueOfTheWrongTypeIsAStoreErrorNamingIt) {
  store.set(kProgramKey, "XX", std::string("50"));
  try {
    left.change("?");
    FAIL() << "no store error";
  } catch (const StoreError& e) {
    EXPECT_EQ(e.key(), kProgramKey);
    EXPECT_EQ(e.value(), "XX");
    EXPECT_NE(e.expected().find("REG_DWORD"), std::string::npos);
  }
}

TEST_F(NumericEditTest, MonthlyLimitIsOnlyRecordedAndItsArrowStepsFromTheEdit) {
  EditResult r = cents.change("$10");
  EXPECT_EQ(r.text, "$10");
  EXPECT_EQ(r.position, 0);
  EXPECT_EQ(last, 16);
  EXPECT_EQ(cents.value(), 16);
  EXPECT_EQ(cents.change("99999").text, "99999");  // beyond the up-down's range, kept
  EXPECT_EQ(cents.value(), 99999);
  EXPECT_EQ(cents.step(+1).text, "1");  // out of range: from the up-down's own position
  cents.change("999");
  r = cents.step(+1);
  EXPECT_EQ(r.text, "1000");  // no thousands separator, so no bounce back
  EXPECT_FALSE(r.beep);
  EXPECT_EQ(last, 1000);
  cents.change("32500");
  EXPECT_EQ(cents.step(+1).text, "32500");
  cents.change("0");
  EXPECT_EQ(cents.step(-1).text, "0");
}

TEST_F(NumericEditTest, SharedLastValueFollowsWhicheverEditWasValidatedLast) {
  left.change("70");
  zero.change("30");
  EXPECT_EQ(last, 30);
  EXPECT_EQ(left.step(+1).moveEdge, 71);
  EXPECT_EQ(last, 71);
}

}  // namespace
}  // namespace pelmora
