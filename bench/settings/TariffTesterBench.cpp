// The tariff tester's day on the real tariffs tab, offscreen: 1440 lines should reach the memo
// on the user-interface thread in 14.40 s within 0.1 %, none lost, and no gap between two lines
// much longer than the 10 ms period (the thread was never held up).

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include <QApplication>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <benchmark/benchmark.h>

#include "settings/SettingsTabs.h"
#include "settings/TariffEditor.h"
#include "store/StoreProcedures.h"
#include "support/Doubles.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingMessageBoxes.h"
#include "ui/settings/TariffsPage.h"

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

void BM_TesterDayOnTheTab(benchmark::State& state) {
  for (auto _ : state) {
    pelmora::testing::MemorySettingsStore store;
    pelmora::writeMissingDefaults(store, pelmora::testing::FixedScreen());
    pelmora::ensureTariffWeek(store);
    pelmora::testing::RecordingMessageBoxes boxes;
    std::int32_t last = 0;
    pelmora::OptionsTabs options(store, last);
    pelmora::TariffEditor editor(store, boxes, last);
    const pelmora::FieldServices services{[](const std::function<void()>& step) {
                                            step();
                                            return true;
                                          },
                                          [] {}};
    pelmora::TariffsPage page(options, editor, store, boxes, services);
    editor.show(1);
    page.refresh();

    std::vector<Clock::time_point> lines;
    lines.reserve(1440);
    QObject::connect(page.memoTest, &QPlainTextEdit::textChanged, [&] {
      if (!page.memoTest->document()->isEmpty()) lines.push_back(Clock::now());
    });
    QEventLoop loop;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (!page.tester().running()) loop.quit();
    });
    watch.start(50);
    const auto start = Clock::now();
    page.tTest->click();
    loop.exec();

    const double elapsed = Milliseconds(lines.back() - start).count();
    double gap = Milliseconds(lines.front() - start).count();
    for (std::size_t i = 1; i < lines.size(); ++i) {
      gap = std::max(gap, Milliseconds(lines[i] - lines[i - 1]).count());
    }
    state.SetIterationTime(elapsed / 1000.0);
    state.counters["lines"] = static_cast<double>(lines.size());
    state.counters["seconds"] = elapsed / 1000.0;
    state.counters["off_by_percent"] = (elapsed / 14400.0 - 1.0) * 100.0;
    state.counters["lost_periods"] = static_cast<double>(std::lround(elapsed / 10.0) - 1440);
    state.counters["longest_gap_ms"] = gap;
  }
}
BENCHMARK(BM_TesterDayOnTheTab)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
