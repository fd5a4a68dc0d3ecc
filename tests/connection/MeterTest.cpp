#include "connection/Meter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/AccountingStore.h"
#include "accounting/AmountText.h"
#include "connection/ConnectionSettlement.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "support/Doubles.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBoxes.h"

namespace pelmora {
namespace {

using testing::integer;
using testing::text;
using testing::withSeparator;

using Panels = testing::RecordingPanels;

class MeterTest : public ::testing::Test {
 protected:
  MeterTest() { testing::seedStore(store); }

  // A meter with the given separator, connected on Wednesday 2026-12-09 at hh:mm:ss.
  Meter& connect(int h, int m, int s, char separator = '.') {
    meter = std::make_unique<Meter>(store, clock, panels, warning, separator);
    meter->setExtraSeconds(extra);
    meter->setFreeSeconds(free);
    meter->setDisplayUnit(unit);
    clock.set(2026, 12, 9, h, m, s);
    meter->startConnection(clock.now());
    return *meter;
  }
  // Runs ticks until the connection has lasted that many seconds of clock time.
  void runFor(int seconds) {
    for (int i = 0; i < seconds; ++i) {
      clock.advance(1);
      meter->tick();
    }
  }
  // A connection at a fixed price and duration: start in the MID zone, price set in the store.
  Meter& metered(int price, int seconds, char separator = '.') {
    DayTariffs d = defaultDayTariffs();
    d.mid.price = price;
    testing::putDay(store, 3, d);
    Meter& m = connect(12, 0, 0, separator);
    clock.advance(seconds);
    m.tick();
    return m;
  }
  // The store's part of the settlement of the meter's connection, shown in its panels.
  SettledConnection closeConnection(Meter& m, const std::string& connection, bool count) {
    MeteredConnection ended = m.metered();
    return settleInStore(store, warning, ended, connection, count, &m.display());
  }

  testing::MemorySettingsStore store;
  testing::FakeClock clock;
  testing::RecordingMessageBoxes boxes;
  TariffWarning warning{boxes};
  Panels panels;
  std::unique_ptr<Meter> meter;
  int extra = 0;
  int free = 0;
  int unit = 0;
};

TEST_F(MeterTest, CostFiguresWithEitherSeparator) {
  struct Case {
    int price, seconds, unit;
    const char* costText;
    const char* panel;
  };
  const Case cases[] = {
      {60, 21, 0, "0.349999994039536", "0.34999   "},
      {60, 61, 0, "1.01666665077209", "1.01666   "},
      {60, 61, 1, "1.01666665077209", "0.01016   "},
      {75, 3600, 0, "75", "75   "},
      {75, 3600, 1, "75", "0.75   "},
      {999, 86399, 0, "23975.72265625", "23975.7   "},
      {999, 86399, 1, "23975.72265625", "239.757   "},
  };
  for (char sep : {'.', ','}) {
    for (const Case& c : cases) {
      unit = c.unit;
      const Meter& m = metered(c.price, c.seconds, sep);
      EXPECT_EQ(m.costText(), withSeparator(c.costText, sep)) << c.seconds << " s at " << c.price;
      EXPECT_EQ(panels.cents, withSeparator(c.panel, sep)) << c.seconds << " s at " << c.price;
    }
  }
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MeterTest, TinyMajorAmountsShowPlainNotAMantissa) {
  unit = 1;
  for (char sep : {'.', ','}) {
    metered(20, 1, sep);  // 0.0000555... major units
    EXPECT_EQ(meter->costText(), withSeparator("0.00555555569007993", sep));
    EXPECT_EQ(meter->displayText(), withSeparator("0.00005", sep));
    metered(1, 1, sep);  // 0.00000277... major units
    EXPECT_EQ(meter->displayText(), withSeparator("0.00000", sep));
    metered(20, 18, sep);  // 0.001 major units: written plainly anyway
    EXPECT_EQ(meter->displayText(), withSeparator("0.00100", sep));
  }
  // The exponent form itself is what the amount writer gives for such a value.
  EXPECT_EQ(formatAmount(0.0000555L, ','), "5,55E-5");
}

TEST_F(MeterTest, FreeSecondsThenTheWholeDurationIsCharged) {
  free = 20;
  Meter& m = connect(12, 0, 0);
  runFor(20);
  EXPECT_EQ(m.costText(), "0");
  EXPECT_EQ(m.priceText(), "0");
  EXPECT_EQ(panels.cents, "0   ");
  runFor(1);
  EXPECT_EQ(m.priceText(), "60");
  EXPECT_EQ(m.costText(), "0.349999994039536");
  EXPECT_EQ(panels.cents, "0.34999   ");
}

TEST_F(MeterTest, DurationFromStartAndClockPlusExtraSeconds) {
  extra = 5;
  Meter& m = connect(23, 59, 50);
  EXPECT_EQ(m.connectionSeconds(), 5);
  EXPECT_EQ(panels.time, "");  // nothing shown before the first tick
  runFor(1);
  EXPECT_EQ(panels.time, "00:00:06");
  runFor(19);  // across midnight to 00:00:10
  EXPECT_EQ(m.connectionSeconds(), 25);
  EXPECT_EQ(panels.time, "00:00:25");

  connect(10, 0, 0);
  runFor(3720);
  EXPECT_EQ(meter->connectionSeconds(), 3725);
  EXPECT_EQ(panels.time, "01:02:05");

  // Values put into the store by hand are held to the settings dialog's limits: a negative
  // SecondsPlus would give a duration the crash file's reader refuses.
  extra = -50;
  free = 5000;
  connect(10, 0, 0);
  EXPECT_EQ(meter->connectionSeconds(), 0);
  runFor(901);
  EXPECT_NE(meter->costText(), "0");  // Zero at most 900
}

TEST_F(MeterTest, TheStartZoneKeepsItsPriceAndTariffEditsRepriceAtOnce) {
  Meter& m = connect(19, 59, 0);
  runFor(3600);  // well into MAX
  EXPECT_EQ(m.zone(), Zone::Mid);
  EXPECT_EQ(m.costText(), "60");

  DayTariffs d = defaultDayTariffs();
  d.mid.price = 30;
  testing::putDay(store, 3, d);
  runFor(1);
  EXPECT_EQ(m.priceText(), "30");
}

TEST_F(MeterTest, LongConnectionsAndClockChangesUseRealElapsedTime) {
  Meter& m = connect(12, 0, 0);
  clock.advance(25 * 3600 + 7);
  m.tick();
  EXPECT_EQ(m.connectionSeconds(), 25 * 3600 + 7);  // not 3607
  EXPECT_EQ(panels.time, "25:00:07");

  // Exactly a day: the wall clock says 0.
  connect(12, 0, 0);
  clock.advance(24 * 3600);
  meter->tick();
  EXPECT_EQ(meter->connectionSeconds(), 24 * 3600);

  // Spring forward: 01:30 to 03:30 on the wall, one real hour.
  connect(1, 30, 0);
  LocalTime later = clock.now();
  later.hour = 3;
  later.epochSeconds += 3600;
  meter->setCurrentTime(later);
  meter->updateDuration();
  EXPECT_EQ(meter->connectionSeconds(), 3600);

  // Fall back: 01:30 to 01:10 on the wall after 40 real minutes (not 23:40).
  connect(1, 30, 0);
  later = clock.now();
  later.minute = 10;
  later.epochSeconds += 40 * 60;
  meter->setCurrentTime(later);
  meter->updateDuration();
  EXPECT_EQ(meter->connectionSeconds(), 40 * 60);
}

TEST_F(MeterTest, NoTariffCostsNothingAndWarnsOnceAcrossConnections) {
  DayTariffs d = defaultDayTariffs();
  d.min.beginHour = 3;
  testing::putDay(store, 3, d);
  Meter& m = connect(2, 15, 0);
  runFor(100);
  EXPECT_EQ(m.zone(), Zone::None);
  EXPECT_EQ(m.costText(), "0");
  connect(2, 30, 0);
  runFor(100);
  EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(MeterTest, CloseConnectionSettlesInOrder) {
  store.set(kProgramKey, "Account", std::string("100"));
  store.set(kProgramKey, "CurrencyFull", 1);
  extra = 5;
  Meter& m = connect(12, 0, 0);
  runFor(30);
  clock.advance(26);  // the end comes between two ticks
  m.setCurrentTime(clock.now());
  m.updateDuration();
  const SettledConnection settled = closeConnection(m, "connection", false);

  EXPECT_EQ(integer(store, "Seconds"), 61);
  EXPECT_EQ(text(store, "Cents"), "1.01666665077209");
  EXPECT_EQ(integer(store, "SecondsT"), 61);
  EXPECT_EQ(text(store, "CentsM"), "1.01666665077209");
  EXPECT_EQ(text(store, "Account"), "99.9898300170898");
  EXPECT_EQ(integer(store, "NumberD"), 0);  // counted by the disconnect, not here
  EXPECT_EQ(settled.balanceText, "99.9898300170898");
  EXPECT_EQ(settled.summaryLine, "         = 00:01:01 + [1.016666k]");
  // The store knows which connection it settled, so a start after a crash does not count it again.
  EXPECT_EQ(text(store, "SettledConnection"), "connection");
  EXPECT_EQ(text(store, "SettledSummary"), settled.summaryLine);
}

TEST_F(MeterTest, TruncRoundsUpToWholeMinutes) {
  store.set(kProgramKey, "Trunc", 1);
  for (char sep : {'.', ','}) {
    Meter& m = metered(60, 61, sep);
    const SettledConnection settled = closeConnection(m, "", true);
    EXPECT_EQ(integer(store, "Seconds"), 120);
    EXPECT_EQ(panels.time, "2 мин.");
    EXPECT_EQ(settled.cost.costText, "2");
    EXPECT_EQ(settled.summaryLine, "         = 2 мин. + [2c]");
  }
  closeConnection(metered(60, 120), "", true);
  EXPECT_EQ(integer(store, "Seconds"), 120);
  closeConnection(metered(60, 0), "", true);
  EXPECT_EQ(integer(store, "Seconds"), 0);
}

TEST_F(MeterTest, ConnectionEndingBeforeTheFirstTickIsSettledAtItsOwnStart) {
  store.set(kProgramKey, "CurrencyFull", 0);
  Meter& m = connect(9, 29, 59);  // MIN, 20 per hour
  clock.advance(1);               // 09:30:00 is already MID
  m.setCurrentTime(clock.now());
  m.updateDuration();
  const SettledConnection settled = closeConnection(m, "", true);
  EXPECT_EQ(settled.summaryLine, "         = 00:00:01 + [0.005555c]");
  EXPECT_EQ(settled.cost.zone, Zone::Min);
  EXPECT_EQ(text(store, "Cents"), "0.00555555569007993");
}

TEST_F(MeterTest, ARestoredConnectionIsSettledFromItsStoredValues) {
  Meter& m = connect(0, 0, 0);
  m.restoreConnection(20, 15, 6, 3600);  // Saturday evening, MAX
  m.showDuration();
  EXPECT_EQ(panels.time, "01:00:00");
  closeConnection(m, "", false);
  EXPECT_EQ(text(store, "Cents"), "75");
  EXPECT_EQ(text(store, "Account"), "-0.75");
}

// Whatever store step fails, the settlement leaves nothing behind and names what is wrong.
TEST_F(MeterTest, ASettlementIsAllOrNothing) {
  using Value = testing::MemorySettingsStore::Value;
  struct Case {
    const char* name;
    Value value;
    const char* inMessage;
  };
  const Case cases[] = {
      {"CentsT", Value(7), "CentsT"},                     // wrong type
      {"CentsW", Value(std::string("12р.")), "12р."},     // not a number
      {"CentsT", Value(std::string("1e39")), "1e39"},     // beyond a float
      {"Account", Value(std::string("1e300")), "1e300"},  // beyond a float
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::seedStore(store);
    store.set(kProgramKey, c.name, c.value);
    Meter& m = metered(600000, 61);
    try {
      closeConnection(m, "connection", true);
      ADD_FAILURE() << "settled";
    } catch (const StoreError& e) {
      EXPECT_NE(std::string(e.what()).find(c.inMessage), std::string::npos) << e.what();
    }
    EXPECT_EQ(integer(store, "Seconds"), 0);
    EXPECT_EQ(integer(store, "SecondsD"), 0);
    EXPECT_EQ(integer(store, "NumberT"), 0);
    EXPECT_EQ(text(store, "Cents"), "0");
    EXPECT_FALSE(store.value(kProgramKey, "SettledConnection"));
    EXPECT_EQ(*store.value(kProgramKey, c.name), c.value);
  }

  testing::seedStore(store);
  store.refuseWritesOf("NumberT");  // the last counter: a full disk at the very end
  EXPECT_THROW(closeConnection(metered(60, 61), "connection", true), StoreError);
  EXPECT_EQ(integer(store, "SecondsT"), 0);
  EXPECT_EQ(text(store, "Account"), "0");
  store.refuseWritesOf("");
  store.beBusy(true);
  EXPECT_THROW(closeConnection(metered(60, 61), "connection", true), StoreBusy);
  store.beBusy(false);
  closeConnection(metered(60, 61), "connection", true);
  EXPECT_EQ(integer(store, "SecondsT"), 61);
  EXPECT_EQ(integer(store, "NumberT"), 1);
}

// A tariff that becomes unreadable during a connection is reported once; the metering and the
// settlement go on with the tariffs last read.
TEST_F(MeterTest, AnUnreadableTariffIsReportedOncePerConnection) {
  Meter& m = metered(60, 10);
  store.set(tariffKey(3), "MidC", std::string("sixty"));
  runFor(20);
  EXPECT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(m.priceText(), "60");
  closeConnection(m, "", true);
  EXPECT_EQ(integer(store, "SecondsT"), 30);
  EXPECT_EQ(boxes.shown.size(), 1u);

  // A connection that never read its tariffs cannot be priced: it is not settled.
  connect(12, 0, 0);
  runFor(3);
  EXPECT_EQ(boxes.shown.size(), 2u);
  EXPECT_THROW(closeConnection(*meter, "", true), StoreError);
  EXPECT_EQ(integer(store, "SecondsT"), 30);
}

}  // namespace
}  // namespace pelmora
