#include "settings/CurrencyTable.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "settings/ProgramInformation.h"
#include "platform/ProgramLinks.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "store/StoreProcedures.h"
#include "support/Doubles.h"
#include "support/TemporaryFolder.h"
#include "support/MemorySettingsStore.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using testing::MemorySettingsStore;
using Value = MemorySettingsStore::Value;

class CurrencyTableTest : public ::testing::Test {
 protected:
  CurrencyTableTest() { writeMissingDefaults(store, testing::FixedScreen{}); }

  CustomCurrency storedCustom() {
    auto program = openKey(store, kProgramKey);
    return readCustomCurrency(*program);
  }
  Value stored(const char* name) const { return *store.value(kProgramKey, name); }

  MemorySettingsStore store;
};

TEST_F(CurrencyTableTest, EachColumnNamesItsUnits) {
  // The "p.", "k." and the "I" after the soft sign are Latin letters.
  const CurrencyCaptions roubles = currencyCaptions(1, storedCustom());
  EXPECT_EQ(roubles.perHour, "КОПЕЕК / ЧАС");
  EXPECT_EQ(roubles.perMonth, "КОПЕЕК / МЕСЯЦ");
  EXPECT_EQ(roubles.account, " СОСТОЯНИЕ СЧЕТА (рубли)");
  EXPECT_EQ(roubles.majorCost, " ФИНАНСОВЬIЕ ЗАТРАТЬI (рубли)");
  EXPECT_EQ(roubles.minorCost, " ФИНАНСОВЬIЕ ЗАТРАТЬI (копейки)");
  EXPECT_EQ(roubles.displayMinor, "КОПЕЙКИ (k.)");
  EXPECT_EQ(roubles.displayMajor, "РУБЛИ (p.)");
  EXPECT_FALSE(roubles.changeEnabled);

  const CurrencyCaptions dollars = currencyCaptions(0, storedCustom());
  EXPECT_EQ(dollars.perHour, "ЦЕНТОВ / ЧАС");
  EXPECT_EQ(dollars.minorCost, " ФИНАНСОВЬIЕ ЗАТРАТЬI (центы)");
  EXPECT_EQ(dollars.displayMinor, "ЦЕНТЬI (ц.)");
  EXPECT_EQ(dollars.displayMajor, "ДОЛЛАРЬI ($)");
  EXPECT_FALSE(dollars.changeEnabled);
  EXPECT_STREQ(kCurrencyNames[0], "ДОЛЛАРЬI");

  // The custom currency with its default names; no selection (-1) shows it too.
  for (const int currency : {2, -1}) {
    const CurrencyCaptions custom = currencyCaptions(currency, storedCustom());
    EXPECT_EQ(custom.perHour, "ТУГРИКОВ / ЧАС");
    EXPECT_EQ(custom.perMonth, "ТУГРИКОВ / МЕСЯЦ");
    EXPECT_EQ(custom.account, " СОСТОЯНИЕ СЧЕТА (настраиваемая)");
    EXPECT_EQ(custom.majorCost, " ФИНАНСОВЬIЕ ЗАТРАТЬI (настраиваемая)");
    EXPECT_EQ(custom.minorCost, " ФИНАНСОВЬIЕ ЗАТРАТЬI (тугрики)");
    EXPECT_EQ(custom.displayMinor, "ТУГРИКИ (т.)");
    EXPECT_EQ(custom.displayMajor, "НАСТРАИВАЕМАЯ (@)");
    EXPECT_TRUE(custom.changeEnabled);
  }
}

TEST(CurrencyTextCase, ConvertsTheWholeAlphabetAndLeavesOtherLettersAlone) {
  const std::string capitals = "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ ABCXYZ";
  const std::string smalls = "абвгдеёжзийклмнопрстуфхцчшщъыьэюя abcxyz";
  EXPECT_EQ(lowerText(capitals), smalls);
  EXPECT_EQ(upperText(smalls), capitals);
  EXPECT_EQ(lowerText("ГРИВНІ Ä 1/100 €"), "гривні Ä 1/100 €");
  EXPECT_EQ(upperText("ёж, ä"), "ЁЖ, ä");
  EXPECT_EQ(lowerText(""), "");
}

TEST_F(CurrencyTableTest, CustomCurrencyIsSavedAtOnceAndItsSignsCopiedOnCommit) {
  saveCustomCurrency(store, {"ЮАНИ", "ФЭНИ", "ФЭНЕЙ", "¥", "ф."});
  EXPECT_EQ(currencyCaptions(2, storedCustom()).perHour, "ФЭНЕЙ / ЧАС");
  EXPECT_EQ(currencyCaptions(2, storedCustom()).account, " СОСТОЯНИЕ СЧЕТА (юани)");

  auto program = openKey(store, kProgramKey);
  writeCurrencySelection(*program, 2, 1);
  writeCurrencySigns(*program, 2);
  program->CloseKey();
  EXPECT_EQ(stored("CurrencyFull"), Value(2));
  EXPECT_EQ(stored("CurrencyStatus"), Value(1));
  EXPECT_EQ(stored("Currency"), Value(std::string("¥")));
  EXPECT_EQ(stored("CurrencySub"), Value(std::string("ф.")));

  program = openKey(store, kProgramKey);
  writeCurrencySigns(*program, 1);
  program->CloseKey();
  EXPECT_EQ(stored("Currency"), Value(std::string("p.")));
  EXPECT_EQ(stored("CurrencySub"), Value(std::string("k.")));

  // The five values go together or not at all.
  store.refuseWritesOf("CurrencyCustomSub");
  EXPECT_THROW(saveCustomCurrency(store, {"ЛЕВЫ", "СТОТИНКИ", "СТОТИНОК", "лв", "ст"}), StoreError);
  EXPECT_EQ(stored("CurrencyCustom"), Value(std::string("ЮАНИ")));
}

TEST(ProgramInformation, LinksAreAddressesTheDesktopCanOpen) {
  const fs::path guide = fs::path(u8"/opt/my docs/гид.html");
  const ProgramInformation info = programInformation(guide);
  EXPECT_EQ(info.version, "ВЕРСИЯ 2.4");
  EXPECT_EQ(info.link(InfoLink::Web).address, kWebPageAddress);
  EXPECT_EQ(info.link(InfoLink::Mail).caption, kMailAddress);
  EXPECT_EQ(info.link(InfoLink::Mail).address,
            std::string("mailto:") + kMailAddress + "?subject=%22Pelmora%22");
  EXPECT_EQ(info.link(InfoLink::Guide).address, "file:///opt/my%20docs/%D0%B3%D0%B8%D0%B4.html");
  EXPECT_EQ(fileUrl(fs::path("C:/Pelmora/guide.html")), "file:///C:/Pelmora/guide.html");
  // Without a guide the instructions are looked up on the web page.
  EXPECT_EQ(programInformation({}).link(InfoLink::Guide).address, kWebPageAddress);
}

TEST(ProgramInformation, FindsTheGuideInstalledOrBesideTheBuild) {
  const testing::TemporaryFolder scratch;
  const fs::path& root = scratch.path();
  const fs::path bin = root / "bin";
  fs::create_directories(bin);
  EXPECT_EQ(findUserGuide(bin), fs::path());

  std::ofstream(bin / "guide.html") << "<html></html>";
  EXPECT_EQ(findUserGuide(bin), bin / "guide.html");

  const fs::path installed = root / "share" / "doc" / "pelmora" / "guide.html";
  fs::create_directories(installed.parent_path());
  std::ofstream(installed) << "<html></html>";
  EXPECT_EQ(findUserGuide(bin), installed);
}

TEST(InfoLinkStates, OnlyTheLinkUnderThePointerIsColouredAndAClickOpensIt) {
  InfoLinkStates links;
  links.hover(InfoLink::Web);
  links.hover(InfoLink::Mail);
  EXPECT_FALSE(links.hot(InfoLink::Web));
  EXPECT_EQ(links.colour(InfoLink::Web), std::nullopt);
  EXPECT_EQ(links.colour(InfoLink::Mail), (LinkColour{0, 0, 128}));

  // Pressed: black, and still black while the pointer stays on it.
  links.press(InfoLink::Mail, true);
  links.hover(InfoLink::Mail);
  EXPECT_EQ(links.colour(InfoLink::Mail), kLinkPressedColour);
  EXPECT_TRUE(links.release(InfoLink::Mail, true));
  EXPECT_EQ(links.colour(InfoLink::Mail), kLinkPressedColour);
  links.reset();
  EXPECT_EQ(links.colour(InfoLink::Mail), std::nullopt);
  links.hover(InfoLink::Mail);
  EXPECT_EQ(links.colour(InfoLink::Mail), (LinkColour{0, 0, 128}));

  // Released elsewhere, or not the left button: no click.
  links.press(InfoLink::Guide, true);
  EXPECT_FALSE(links.release(InfoLink::Guide, false));
  links.press(InfoLink::Guide, false);
  EXPECT_FALSE(links.release(InfoLink::Guide, true));
  EXPECT_FALSE(links.release(InfoLink::Web, true));
}

}  // namespace
}  // namespace pelmora
