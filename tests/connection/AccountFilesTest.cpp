// The account balance against its copy in Account.LOG, and its correction.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "connection/AccountSynchronisation.h"
#include "store/AccountLog.h"
#include "store/StoreKeys.h"
#include "support/TemporaryFolder.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingMessageBoxes.h"

namespace pelmora {
namespace {

using testing::fileContent;

class AccountSynchronisationTest : public ::testing::Test {
 protected:
  AccountSynchronisationTest() { store.set(kProgramKey, "Currency", std::string("$")); }

  void putFile(const std::string& bytes) { std::ofstream(log.path(), std::ios::binary) << bytes; }
  void putValue(const std::string& value) { store.set(kProgramKey, "Account", value); }
  std::optional<std::string> value() const {
    auto v = store.value(kProgramKey, "Account");
    if (!v) return std::nullopt;
    return std::get<std::string>(*v);
  }
  void synchronise() { synchroniseAccount(store, log, boxes); }

  testing::TemporaryFolder folder;
  testing::MemorySettingsStore store;
  testing::RecordingMessageBoxes boxes;
  AccountLog log{folder / "Account.LOG"};
};

TEST_F(AccountSynchronisationTest, OneSideMissingIsFilledSilently) {
  synchronise();  // first run: neither
  EXPECT_EQ(fileContent(log.path()), "0\r\n");
  EXPECT_EQ(value(), "0");

  std::filesystem::remove(log.path());
  putValue("12,5");
  synchronise();  // value only
  EXPECT_EQ(fileContent(log.path()), "12,5\r\n");

  store.erase(kProgramKey, "Account");
  putFile(" \t7,25 rest\r\n");
  synchronise();  // file only: the token is taken as it is
  EXPECT_EQ(value(), "7,25");

  store.erase(kProgramKey, "Account");
  putFile("");
  synchronise();  // an empty file gives an empty balance
  EXPECT_EQ(value(), "");

  store.erase(kProgramKey, "Account");
  putFile(std::string(200, '1'));
  synchronise();  // too long for any balance the program writes: start from zero
  EXPECT_EQ(value(), "0");
  EXPECT_EQ(fileContent(log.path()), "0\r\n");

  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(AccountSynchronisationTest, EqualTextsChangeNothing) {
  putValue("-3,14999997615814");
  putFile("-3,14999997615814\r\n\r\n");
  synchronise();
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(fileContent(log.path()), "-3,14999997615814\r\n\r\n");
}

TEST_F(AccountSynchronisationTest, AFileThatIsNoAmountIsRewrittenFromTheStore) {
  for (const char* content : {"abc\r\n", "", "   \r\n", "12,5x"}) {
    putValue("12,5");
    putFile(content);
    synchronise();
    EXPECT_TRUE(boxes.shown.empty()) << content;
    EXPECT_EQ(fileContent(log.path()), "12,5\r\n") << content;
    EXPECT_EQ(value(), "12,5");
  }
}

TEST_F(AccountSynchronisationTest, DifferentNotationsAreAskedAbout) {
  const std::string choice =
      "Программой обнаружены следующие сохранённые параметры:\n\tв файле = $ 12,50...\n\tв "
      "реестре = $ 12,5...\nДля исправления сделайте следующее:\n\tнажмите \"ДА\" (YES) чтобы "
      "принять значение \"$ 12,50\" или\n\tнажмите \"НЕТ\" (NO) чтобы принять значение \"$ "
      "12,5\"...";

  // Yes, then Yes: the file wins.
  putValue("12,5");
  putFile("12,50\r\n");
  boxes.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
  synchronise();
  ASSERT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(boxes.shown[0].title, "Ассинхронизация...");
  EXPECT_EQ(boxes.shown[0].text,
            "Внимание! Значение данных состояния счёта\nв системном реестре и лог-файле "
            "программы НЕ СОВПАДАЮТ!\nХотите ли Вы исправить эту ошибку сейчас?");
  EXPECT_EQ(boxes.shown[0].defaultAnswer, MessageAnswer::Yes);
  EXPECT_EQ(boxes.shown[1].title, "Восстановить из файла?");
  EXPECT_EQ(boxes.shown[1].text, choice);
  EXPECT_EQ(boxes.shown[1].icon, MessageIcon::Question);
  EXPECT_EQ(boxes.shown[2].title, "Ок!");
  EXPECT_EQ(boxes.shown[2].text, "Данные успешно синхронизированы...");
  EXPECT_EQ(value(), "12,50");
  EXPECT_EQ(fileContent(log.path()), "12,50\r\n");

  // Yes, then No: the store wins.
  boxes.shown.clear();
  putValue("12,5");
  boxes.answers = {MessageAnswer::Yes, MessageAnswer::No};
  synchronise();
  ASSERT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(boxes.shown[1].text, choice);
  EXPECT_EQ(value(), "12,5");
  EXPECT_EQ(fileContent(log.path()), "12,5\r\n");
}

TEST_F(AccountSynchronisationTest, DecliningLeavesBothForTheNextStart) {
  putValue("5");
  putFile("6\r\n");
  boxes.answers = {MessageAnswer::No};
  synchronise();
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].title, "Не забудьте!");
  EXPECT_EQ(boxes.shown[1].text, "В таком случае НЕ ЗАБУДЬТЕ исправить эту ошибку в ручную!..");
  EXPECT_EQ(value(), "5");
  EXPECT_EQ(fileContent(log.path()), "6\r\n");

  boxes.shown.clear();
  boxes.answers = {MessageAnswer::No};
  synchronise();  // asked again
  EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST_F(AccountSynchronisationTest, CorrectionTakesOnlyTheLocaleSeparator) {
  EXPECT_TRUE(isTypedAccountValid("12,5", ','));
  EXPECT_TRUE(isTypedAccountValid("-0,01", ','));
  EXPECT_FALSE(isTypedAccountValid("12.5", ','));
  EXPECT_FALSE(isTypedAccountValid("12,", '.'));
  EXPECT_FALSE(isTypedAccountValid("", ','));
  EXPECT_FALSE(isTypedAccountValid("1O", ','));

  putValue("3");
  EXPECT_FALSE(saveCorrectedAccount(store, log, "12.5", ','));
  EXPECT_EQ(value(), "3");
  EXPECT_FALSE(std::filesystem::exists(log.path()));

  EXPECT_TRUE(saveCorrectedAccount(store, log, "0012,50", ','));
  EXPECT_EQ(value(), "0012,50");
  EXPECT_EQ(fileContent(log.path()), "0012,50\r\n");
}

}  // namespace
}  // namespace pelmora
