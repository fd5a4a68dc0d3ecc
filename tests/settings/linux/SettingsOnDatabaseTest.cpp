// The commit and the reset on the real database file and autostart folder.
#include <gtest/gtest.h>

#include "settings/SettingsCommit.h"
#include "settings/SettingsReset.h"
#include "platform/ProgramVersion.h"
#include "store/ProgramOptions.h"
#include "store/StoreKeys.h"
#include "store/StoreProcedures.h"
#include "store/linux/AutostartFolder.h"
#include "store/linux/SqliteSettingsStore.h"
#include "support/Doubles.h"
#include "support/RecordingMessageBoxes.h"
#include "support/TemporaryFolder.h"

namespace pelmora {
namespace {

TEST(SettingsOnDatabase, CommitAndResetKeepTheBalanceAndTheAutostartEntry) {
  testing::TemporaryFolder folder;
  const std::string balance = "1234,5678\t";
  testing::RecordingMessageBoxes boxes;
  testing::RecordingStarter starter;
  int ended = 0;
  {
    SqliteSettingsStore store(folder / "registry.db", folder / "autostart");
    writeMissingDefaults(store, testing::FixedScreen());
    ensureTariffWeek(store);
    DialogOptions dialog;
    dialog.autoStart = true;
    commitSettings(store, dialog, "/opt/my apps/pelmora");
    auto program = openKey(store, kProgramKey);
    write(*program, options::kAccount, balance);
    program->CloseKey();

    boxes.answers = {MessageAnswer::Yes};
    SettingsReset{boxes, store, starter, "/opt/my apps/pelmora", {}, [&] { ++ended; }}.run();
  }
  SqliteSettingsStore store(folder / "registry.db", folder / "autostart");
  auto program = openKey(store, kProgramKey);
  EXPECT_EQ(read(*program, options::kAccount), balance);
  EXPECT_FALSE(exists(*program, options::kShowOnConnect));
  program->CloseKey();
  auto tariffs = store.OpenKey(tariffKey(0), false);
  EXPECT_TRUE(tariffs == nullptr || !tariffs->ValueExists("MaxC"));
  tariffs.reset();
  const AutostartFolder autostart(folder / "autostart");
  EXPECT_NE(testing::fileContent(autostart.entryFile(kProgramTitle)).find("/opt/my apps/pelmora"),
            std::string::npos);
  EXPECT_EQ(ended, 1);

  commitSettings(store, DialogOptions{}, "/opt/my apps/pelmora");
  EXPECT_FALSE(std::filesystem::exists(autostart.entryFile(kProgramTitle)));
}

}  // namespace
}  // namespace pelmora
