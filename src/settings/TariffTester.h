#pragma once

#include <string>

#include "accounting/Tariffs.h"
#include "platform/MessageBoxes.h"

namespace pelmora {

// What one tick of the tester gives the tariffs tab.
struct TesterTick {
  std::string line;  // "H:M = #n {price}", unpadded, e.g. "0:0 = #1 {75}"
  bool uncovered;    // the label was "--": the memo turns red
  bool finished;     // this was the tick of 23:59: the timer must be disabled
  int progress;      // tProgress position after this tick (0..24; 24 at the end)
};

// The tariff tester without its widgets: it runs the metering's zone lookup over the values
// typed into the tariff fields for every minute of the day, one minute per tick of its timer.
class TariffTester {
 public:
  static constexpr int kProgressMaximum = 24;  // tProgress's range is 0 to this

  // RunTariffTest's state: hour 0, minute -1, progress 0, not red.
  void start();
  // One simulated minute over the values typed now. Only while running(): the tick of 23:59
  // ends the run.
  TesterTick tick(const DayTariffs& typed);
  // Ends a run before its last minute, without its end box.
  void stop() { m_running = false; }
  bool running() const { return m_running; }
  bool red() const { return m_red; }  // any uncovered minute so far
  int progress() const { return m_progress; }

  // The end boxes: error ("Ошибка в тарифах!", "Введённые тарифы содержат ошибки.", error icon)
  // when red, else success ("Тест завершён успешно!", "Введённые тарифы протестированны
  // успешно!", information icon).
  static MessageBoxRequest endBox(bool red);

 private:
  int m_hour = 0;
  int m_minute = -1;
  int m_progress = 0;
  bool m_red = false;
  bool m_running = false;
};

}  // namespace pelmora
