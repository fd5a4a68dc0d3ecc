// The scripted file dialogs and printer that tests and unattended runs use in place of the real
// ones.

#include <filesystem>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/PathText.h"

#include "platform/ScriptedFileDialogs.h"
#include "platform/ScriptedReportPrinter.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;

TEST(ScriptedFileDialogs, AnswersOnePathPerLineAndCancelsOnAnEmptyOneOrOnceUsedUp) {
  const fs::path folder = fs::temp_directory_path() / "pelmora-files";
  const fs::path elsewhere = fs::temp_directory_path() / "elsewhere" / "list";
  FileDialogRequest request{"Сохранить отчёт", "Текстовые файлы (*.txt)", "txt", folder, ""};
  std::ostringstream transcript;
  ScriptedFileDialogs dialogs("отчёт\r\n\n" + utf8Path(elsewhere) + "\nstats.log\nread",
                              transcript);

  // A bare name lands in the initial folder and gets the default extension, names outside ASCII
  // included.
  EXPECT_EQ(dialogs.saveFile(request), folder / fs::path(u8"отчёт.txt"));
  EXPECT_EQ(dialogs.openFile(request), std::nullopt);
  EXPECT_EQ(dialogs.saveFile(request), fs::path(elsewhere).replace_extension(".txt"));
  EXPECT_EQ(dialogs.saveFile(request), folder / "stats.log");  // its own extension stays
  EXPECT_EQ(dialogs.openFile(request), folder / "read");       // opening adds none
  EXPECT_EQ(dialogs.openFile(request), std::nullopt);
  std::string expected;
  for (int i = 0; i < 6; ++i) expected += "Сохранить отчёт | Текстовые файлы (*.txt)\n";
  EXPECT_EQ(transcript.str(), expected);
}

TEST(ScriptedReportPrinter, GivesEveryPrintTheAnswerItWasSetUpWith) {
  const fs::path report = fs::temp_directory_path() / u8"Отчёт.txt";
  std::ostringstream transcript;
  EXPECT_EQ(ScriptedReportPrinter("", transcript).print(report).outcome, PrintOutcome::Printed);
  EXPECT_EQ(ScriptedReportPrinter(" None ", transcript).print(report).outcome,
            PrintOutcome::NoPrintCommand);
  const PrintResult refused = ScriptedReportPrinter("failed: нет бумаги", transcript).print(report);
  EXPECT_EQ(refused.outcome, PrintOutcome::Failed);
  EXPECT_EQ(refused.reason, "нет бумаги");
  const PrintResult bare = ScriptedReportPrinter("FAILED", transcript).print(report);
  EXPECT_EQ(bare.outcome, PrintOutcome::Failed);
  EXPECT_FALSE(bare.reason.empty()) << "a failure always says why";

  std::string expected;
  for (int i = 0; i < 4; ++i) expected += "print " + utf8Path(report) + "\n";
  EXPECT_EQ(transcript.str(), expected);
}

}  // namespace
}  // namespace pelmora
