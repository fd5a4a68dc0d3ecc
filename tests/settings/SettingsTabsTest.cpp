#include "settings/SettingsTabs.h"

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/SettingsFilePickers.h"
#include "platform/ProgramVersion.h"
#include "platform/ScriptedFileDialogs.h"
#include "store/ProgramOptions.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "store/StoreProcedures.h"
#include "support/Doubles.h"
#include "support/MemorySettingsStore.h"

namespace pelmora {
namespace {

using testing::FixedScreen;
using testing::MemorySettingsStore;
using Value = MemorySettingsStore::Value;

const std::string kExecutable = "/opt/my apps/pelmora";

class SettingsTabsTest : public ::testing::Test {
 protected:
  SettingsTabsTest() { writeMissingDefaults(store, screen); }

  Value stored(const char* name) const { return *store.value(kProgramKey, name); }

  MemorySettingsStore store;
  FixedScreen screen{{1280, 1024}};
  std::int32_t last = 0;
  OptionsTabs tabs{store, last};
};

TEST_F(SettingsTabsTest, FreshStoreLoadsTheDefaultsAndCommitsThemBackUnchanged) {
  const WindowEdges edges = tabs.load(screen.size());
  EXPECT_EQ(edges.left, 1175);
  EXPECT_EQ(edges.top, 939);
  EXPECT_EQ(tabs.eXX.range().maximum, 1175);
  EXPECT_EQ(tabs.eYY.range().maximum, 992);
  EXPECT_FALSE(tabs.autoStart);
  EXPECT_TRUE(tabs.showOnConnect);
  EXPECT_TRUE(tabs.hideOnDisconnect);
  EXPECT_FALSE(tabs.playOn.checked);
  EXPECT_FALSE(tabs.playOn.dependentsEnabled());
  EXPECT_EQ(tabs.eZero.text(), "20");
  EXPECT_EQ(tabs.eSecondsPlus.text(), "5");
  EXPECT_EQ(tabs.eMaxCents.text(), "100");
  EXPECT_EQ(tabs.playOn.text, platformDefaults().soundOn);

  MemorySettingsStore before = store;
  commitSettings(store, tabs.options(), kExecutable);
  for (const DefaultValue& value : programDefaults()) {
    EXPECT_EQ(store.value(kProgramKey, value.name), before.value(kProgramKey, value.name))
        << value.name;
  }
  EXPECT_FALSE(store.value(kRunKey, kProgramTitle));
}

TEST_F(SettingsTabsTest, EditedControlsSurviveCommitAndReload) {
  tabs.load(screen.size());
  tabs.autoStart = true;
  tabs.showOnStart = true;
  tabs.trunc = true;
  tabs.startOff = {true, "\"/usr/bin/my tool\" --quiet"};
  tabs.eXX.change("12");
  tabs.eMaxCents.change("$10");
  tabs.eSecondsPlus.change("99");
  commitSettings(store, tabs.options(), kExecutable);
  EXPECT_EQ(store.value(kRunKey, kProgramTitle), Value("\"/opt/my apps/pelmora\""));
  EXPECT_EQ(stored("MaxCents"), Value(16));
  EXPECT_EQ(stored("Trunc"), Value(1));

  std::int32_t otherLast = 0;
  OptionsTabs again(store, otherLast);
  again.load(screen.size());
  EXPECT_EQ(again.options().appOff, "\"/usr/bin/my tool\" --quiet");
  EXPECT_TRUE(again.startOff.dependentsEnabled());
  EXPECT_EQ(again.eXX.text(), "12");
  EXPECT_EQ(again.eMaxCents.text(), "16");
  EXPECT_EQ(again.eSecondsPlus.text(), "99");
  EXPECT_TRUE(again.autoStart && again.showOnStart && again.trunc);

  again.autoStart = false;
  commitSettings(store, again.options(), kExecutable);
  EXPECT_FALSE(store.value(kRunKey, kProgramTitle));
}

TEST_F(SettingsTabsTest, OddStoreValuesLoadAsTheDialogReadsThem) {
  store.set(kRunKey, kProgramTitle, std::string("anything"));
  store.set(kProgramKey, "ShowOnStart", 7);
  store.set(kProgramKey, "PlayOFF", -1);
  store.set(kProgramKey, "Zero", 5000);
  store.set(kProgramKey, "XX", 2300);
  tabs.load({2560, 1440});
  EXPECT_TRUE(tabs.autoStart);
  EXPECT_TRUE(tabs.showOnStart);
  EXPECT_TRUE(tabs.playOff.dependentsEnabled());
  EXPECT_EQ(tabs.eZero.text(), "900");
  // The first showing validates against the design maximum; the screen's maxima come after.
  EXPECT_EQ(tabs.eXX.text(), "2000");
  tabs.load({2560, 1440});
  EXPECT_EQ(tabs.eXX.text(), "2300");
}

TEST_F(SettingsTabsTest, ValueOfTheWrongTypeCostsOnlyItsOwnControlAndIsNamed) {
  store.set(kProgramKey, "XX", std::string("100"));
  store.set(kProgramKey, "ShowOnStart", 1);
  store.set(kProgramKey, "PlayON", 1);
  store.set(kProgramKey, "MaxCents", 250);
  tabs.load(screen.size());
  try {
    tabs.throwLoadError();
    FAIL() << "no store error";
  } catch (const StoreError& e) {
    EXPECT_EQ(e.key(), kProgramKey);
    EXPECT_EQ(e.value(), "XX");
    EXPECT_NE(e.expected().find("REG_DWORD"), std::string::npos);
  }
  EXPECT_TRUE(tabs.showOnStart);     // before it
  EXPECT_TRUE(tabs.playOn.checked);  // and after it
  EXPECT_EQ(tabs.eMaxCents.text(), "250");

  // The commit leaves the unread value as stored, until the user enters one.
  commitSettings(store, tabs.options(), kExecutable);
  EXPECT_EQ(stored("XX"), Value(std::string("100")));
  EXPECT_EQ(stored("MaxCents"), Value(250));
  tabs.eXX.change("40");
  commitSettings(store, tabs.options(), kExecutable);
  EXPECT_EQ(stored("XX"), Value(40));

  store.set(kProgramKey, "SoundON", 3);
  tabs.load(screen.size());
  EXPECT_THROW(tabs.throwLoadError(), StoreError);
  EXPECT_TRUE(tabs.options().unloaded.contains("SoundON"));
  EXPECT_FALSE(tabs.options().unloaded.contains("XX"));
}

TEST_F(SettingsTabsTest, CommitWritesInItsOrderAndStopsAtTheFirstRefusedWrite) {
  tabs.load(screen.size());
  tabs.autoStart = true;
  tabs.showOnStart = true;
  tabs.eXX.change("10");
  tabs.eZero.change("30");
  std::vector<std::string> steps;
  CommitExtensions extensions;
  extensions.currencySelection = [&](StoreKey&) {
    steps.push_back("selection");
    EXPECT_EQ(stored("ShowOnStart"), Value(1));
    EXPECT_EQ(stored("XX"), Value(1175));
  };
  extensions.currencySigns = [&](StoreKey&) { steps.push_back("signs"); };
  extensions.tariffDay = [&](SettingsStore&) { steps.push_back("tariffs"); };

  store.refuseWritesOf("XX");
  EXPECT_THROW(commitSettings(store, tabs.options(), kExecutable, extensions), StoreError);
  EXPECT_EQ(steps, std::vector<std::string>{"selection"});
  EXPECT_TRUE(store.value(kRunKey, kProgramTitle));
  EXPECT_EQ(stored("ShowOnStart"), Value(1));
  EXPECT_EQ(stored("Zero"), Value(20));  // after the refused write: not reached

  store.refuseWritesOf("");
  extensions.currencySelection = [&](StoreKey&) { steps.push_back("selection"); };
  extensions.currencySigns = [&](StoreKey& program) {
    steps.push_back("signs");
    EXPECT_EQ(program.ReadInteger("Zero"), 30);
  };
  steps.clear();
  commitSettings(store, tabs.options(), kExecutable, extensions);
  EXPECT_EQ(steps, (std::vector<std::string>{"selection", "signs", "tariffs"}));
  EXPECT_EQ(stored("XX"), Value(10));
}

TEST(SettingsFilePickersTest, DialogRequestsAndPicks) {
  const std::string sep(1, static_cast<char>(std::filesystem::path::preferred_separator));
  FileDialogRequest sound =
      pickerRequest(PickedFile::Sound, sep + "snd" + sep + "my sounds" + sep + "tada.wav");
  EXPECT_EQ(sound.title, "Укажите звуковой файл...");
#ifdef _WIN32
  EXPECT_EQ(sound.filter, "Звуки (wAv) (*.wav *.snd);;Все файлы (*.*)");
#else
  // The desktop's own sounds are Ogg files; a program has any name.
  EXPECT_EQ(sound.filter, "Звуки (oGa, oGg, wAv) (*.oga *.ogg *.wav);;Все файлы (*)");
#endif
  EXPECT_EQ(sound.defaultExtension, "wav");
  EXPECT_EQ(sound.initialDirectory, std::filesystem::path(sep + "snd" + sep + "my sounds"));
  const FileDialogRequest program = pickerRequest(PickedFile::Program, "mytool --quiet");
  EXPECT_EQ(program.title, "Укажите программу...");
#ifdef _WIN32
  EXPECT_EQ(program.filter, "Программы (eXe, cOm) (*.exe *.com);;Все файлы (*.*)");
  EXPECT_FALSE(program.executablesOnly);
#else
  EXPECT_EQ(program.filter, "Программы (*)");
  EXPECT_TRUE(program.executablesOnly);
#endif
  EXPECT_EQ(program.initialDirectory, std::filesystem::path("mytool --quiet"));
  EXPECT_EQ(pickerFolder(sep + "x.wav"), std::filesystem::path());
  EXPECT_EQ(pickerFolder(""), std::filesystem::path());

  const std::string chosen = pickedText(std::filesystem::temp_directory_path() / "my chimes.wav");
  std::ostringstream transcript;
  ScriptedFileDialogs dialogs(chosen + "\n\n", transcript);
  std::string text = "\"/usr/bin/tool\" --quiet";
  EXPECT_TRUE(pickFile(dialogs, PickedFile::Program, text));
  EXPECT_EQ(text, chosen);  // the arguments are lost
  EXPECT_FALSE(pickFile(dialogs, PickedFile::Sound, text));
  EXPECT_EQ(text, chosen);
}

}  // namespace
}  // namespace pelmora
