#pragma once

namespace pelmora {

class Clock;
class DurationFile;
class Meter;

// ttProtectorTimer, every five seconds while a connection is metered: brings the duration up to
// date and saves the connection to Duration.tmp, so the next start can count it after a crash.
class CrashProtector {
 public:
  // All three must outlive the protector.
  CrashProtector(Meter& meter, const Clock& clock, const DurationFile& durationFile);

  // One tick: one clock reading gives the current time for the duration and every time and date
  // field written. False when Duration.tmp could not be written (lastFileError says why).
  bool tick();

 private:
  Meter& m_meter;
  const Clock& m_clock;
  const DurationFile& m_durationFile;
};

}  // namespace pelmora
