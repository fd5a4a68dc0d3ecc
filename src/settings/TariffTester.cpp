#include "settings/TariffTester.h"

#include <utility>

namespace pelmora {

void TariffTester::start() {
  m_hour = 0;
  m_minute = -1;
  m_progress = 0;
  m_red = false;
  m_running = true;
}

TesterTick TariffTester::tick(const DayTariffs& typed) {
  if (++m_minute > 59) {
    m_minute = 0;
    ++m_hour;
    ++m_progress;
  }
  const bool finished = m_hour == 23 && m_minute > 58;
  if (finished) {
    m_running = false;
    m_progress = kProgressMaximum;
  }
  // The same lookup as the metering's; only the price of an uncovered minute differs: 0 without
  // the metering's warning.
  const Zone zone = lookupZone(typed, m_hour, m_minute);
  const bool uncovered = zone == Zone::None;
  if (uncovered) m_red = true;
  std::string line = std::to_string(m_hour) + ":" + std::to_string(m_minute) + " = " +
                     zoneLabel(zone) + " {" + std::to_string(zoneHourPrice(typed, zone)) + "}";
  return {std::move(line), uncovered, finished, m_progress};
}

MessageBoxRequest TariffTester::endBox(bool red) {
  if (red) {
    return informationBox("Ошибка в тарифах!", "Введённые тарифы содержат ошибки.",
                          MessageIcon::Error);
  }
  return informationBox("Тест завершён успешно!", "Введённые тарифы протестированны успешно!");
}

}  // namespace pelmora
