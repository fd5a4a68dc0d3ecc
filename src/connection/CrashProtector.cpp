#include "connection/CrashProtector.h"

#include "connection/Meter.h"
#include "platform/Clock.h"
#include "store/DurationFile.h"

namespace pelmora {

CrashProtector::CrashProtector(Meter& meter, const Clock& clock, const DurationFile& durationFile)
    : m_meter(meter), m_clock(clock), m_durationFile(durationFile) {}

bool CrashProtector::tick() {
  const LocalTime now = m_clock.now();
  m_meter.setCurrentTime(now);
  m_meter.updateDuration();
  return m_durationFile.write(m_meter.connectionSeconds(), m_meter.startHour(),
                              m_meter.startMinute(), m_meter.weekday(), now);
}

}  // namespace pelmora
