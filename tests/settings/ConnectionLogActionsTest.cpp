// The two log buttons of the statistics tab: view and erase Internet.LOG.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/FileOpener.h"
#include "settings/ConnectionLogActions.h"
#include "store/ConnectionLog.h"
#include "support/RecordingMessageBoxes.h"
#include "support/TemporaryFolder.h"

namespace pelmora {
namespace {

using testing::fileContent;

struct FakeOpener final : FileOpener {
  bool open(const std::filesystem::path& file) override {
    opened = file;
    return works;
  }
  bool works = true;
  std::filesystem::path opened;
};

TEST(ConnectionLogActionsTest, ViewOpensTheLogOrWarns) {
  testing::TemporaryFolder folder;
  const ConnectionLog log(folder / "with blank" / "Internet.LOG");
  testing::RecordingMessageBoxes boxes;
  FakeOpener opener;

  viewConnectionLog(log, opener, boxes);
  EXPECT_EQ(opener.opened, log.path());
  EXPECT_TRUE(boxes.shown.empty());

  opener.works = false;
  viewConnectionLog(log, opener, boxes);
  ASSERT_EQ(boxes.shown.size(), 1u);
#ifdef _WIN32
  // Windows keeps the words of the original, notepad.exe included.
  EXPECT_EQ(boxes.shown[0].title, "Файл \"notepad.exe\" не найден.   :-(");
  EXPECT_EQ(boxes.shown[0].text,
            "Внимание! На Вашем компьютере не найден \"Блокнот\" (notepad.exe).\nПросмотр "
            "log-файла из программы не возможен.\nОткройте log-файл самостоятельно.");
#else
  EXPECT_EQ(boxes.shown[0].title, "Программа для просмотра не найдена.   :-(");
  EXPECT_EQ(boxes.shown[0].text,
            "Внимание! На Вашем компьютере не найдена программа для просмотра текстовых "
            "файлов.\nПросмотр log-файла из программы не возможен.\nОткройте log-файл "
            "самостоятельно:\n" +
                log.path().string());
#endif
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Warning);
}

TEST(ConnectionLogActionsTest, EraseOnlyOnYes) {
  testing::TemporaryFolder folder;
  const ConnectionLog log(folder / "Internet.LOG");
  const std::string full = ConnectionLog::header() + "01.01.2026 00:00:00 - Connected";
  std::ofstream(log.path(), std::ios::binary) << full;
  testing::RecordingMessageBoxes boxes;

  EXPECT_FALSE(eraseConnectionLog(log, boxes));  // Enter: the default is No
  boxes.answers = {MessageAnswer::No};
  EXPECT_FALSE(eraseConnectionLog(log, boxes));
  EXPECT_EQ(fileContent(log.path()), full);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].title, "Очистить?");
  EXPECT_EQ(boxes.shown[0].text, "Вы уверены, что хотите очистить лог-файл соединений?");
  EXPECT_EQ(boxes.shown[0].defaultAnswer, MessageAnswer::No);

  boxes.shown.clear();
  boxes.answers = {MessageAnswer::Yes};
  EXPECT_TRUE(eraseConnectionLog(log, boxes));
  EXPECT_EQ(fileContent(log.path()),
            "==================================\r\nPelmora connections log\r\n"
            "==================================\r\n");
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].title, "Файл очищен.");
  EXPECT_EQ(boxes.shown[1].text, "Лог-файл соединений очищен успешно.");

  // A log that cannot be written is not reported as erased.
  std::filesystem::remove(log.path());
  std::filesystem::create_directory(log.path());
  boxes.shown.clear();
  boxes.answers = {MessageAnswer::Yes};
  EXPECT_FALSE(eraseConnectionLog(log, boxes));
  EXPECT_EQ(boxes.shown.size(), 1u);
}

}  // namespace
}  // namespace pelmora
