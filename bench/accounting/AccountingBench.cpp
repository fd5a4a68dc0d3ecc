#include <benchmark/benchmark.h>

#include <string>

#include "accounting/AmountText.h"
#include "connection/Meter.h"
#include "accounting/Tariffs.h"
#include "platform/MessageBoxes.h"
#include "store/StoreKeys.h"
#include "support/FakeClock.h"
#include "support/MemorySettingsStore.h"

namespace {

using namespace pelmora;

struct NullDisplay final : MeterDisplay {
  void showDuration(const std::string& t) override { benchmark::DoNotOptimize(t.data()); }
  void showCost(const std::string& t) override { benchmark::DoNotOptimize(t.data()); }
};

struct NoBoxes final : MessageBoxes {
  MessageAnswer show(const MessageBoxRequest&) override { return MessageAnswer::Ok; }
};

void putDefaultWeek(testing::MemorySettingsStore& store) {
  const DayTariffs d = defaultDayTariffs();
  for (int w = 0; w < 7; ++w) {
    auto key = store.OpenKey(tariffKey(w), true);
    auto put = [&](const std::string& p, const TariffZone& z) {
      key->WriteInteger(p + "AH", z.beginHour);
      key->WriteInteger(p + "AM", z.beginMinute);
      key->WriteInteger(p + "ZH", z.endHour);
      key->WriteInteger(p + "ZM", z.endMinute);
      key->WriteInteger(p + "C", z.price);
    };
    put("Max", d.max);
    put("Mid", d.mid);
    put("Min", d.min);
  }
}

// One metering tick: clock, duration, a day's tariffs read from the store, lookup, cost and its
// texts, shown in the major unit (the longer path).
void BM_MeterTick(benchmark::State& state) {
  testing::MemorySettingsStore store;
  putDefaultWeek(store);
  testing::FakeClock clock;
  NullDisplay display;
  NoBoxes boxes;
  TariffWarning warning(boxes);
  Meter meter(store, clock, display, warning, ',');
  meter.setExtraSeconds(5);
  meter.setFreeSeconds(20);
  meter.setDisplayUnit(1);
  clock.set(2026, 12, 9, 19, 59, 0);
  meter.startConnection(clock.now());
  for (auto _ : state) {
    clock.advance(1);
    meter.tick();
  }
  benchmark::DoNotOptimize(meter.cost());
}
BENCHMARK(BM_MeterTick);

// The zone of every minute of a day, as the tariff tester walks it.
void BM_LookupZoneWholeDay(benchmark::State& state) {
  const DayTariffs day = defaultDayTariffs();
  for (auto _ : state) {
    int sum = 0;
    for (int t = 0; t < 24 * 60; ++t) sum += static_cast<int>(lookupZone(day, t / 60, t % 60));
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 24 * 60);
}
BENCHMARK(BM_LookupZoneWholeDay);

// One amount written with 15 significant digits, the costliest step of a tick.
void BM_FormatAmount(benchmark::State& state) {
  float cost = 0.35f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(formatAmount(cost, ','));
    cost += 0.01f;
  }
}
BENCHMARK(BM_FormatAmount);

}  // namespace
