// Any bytes as Duration.tmp: the reader never crashes or overruns, and whatever it accepts is in
// range and is exactly what the writer would write for it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "store/DurationFile.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

int number(const std::string& twoDigits) {
  check(twoDigits.size() == 2);
  return (twoDigits[0] - '0') * 10 + (twoDigits[1] - '0');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const pelmora::DurationReading reading = pelmora::DurationFile::parse(content);
  if (reading.status != pelmora::DurationReading::Status::Read) return 0;

  const pelmora::DurationRecord& r = reading.record;
  check(r.seconds >= 0);
  check(r.startHour >= 0 && r.startHour <= 23);
  check(r.startMinute >= 0 && r.startMinute <= 59);
  check(r.weekday >= 0 && r.weekday <= 6);
  check(number(r.hour) <= 23 && number(r.minute) <= 59 && number(r.second) <= 59);
  check(r.date.size() == 10);

  // Written again, it reads back the same.
  pelmora::LocalTime tick;
  tick.hour = number(r.hour);
  tick.minute = number(r.minute);
  tick.second = number(r.second);
  tick.day = number(r.date.substr(0, 2));
  tick.month = number(r.date.substr(3, 2));
  tick.year = std::atoi(r.date.substr(6).c_str());
  const std::string again = pelmora::DurationFile::text(r.seconds, r.startHour, r.startMinute,
                                                        r.weekday, tick, r.date[2]);
  const pelmora::DurationReading back = pelmora::DurationFile::parse(again);
  check(back.status == pelmora::DurationReading::Status::Read);
  check(back.record.seconds == r.seconds && back.record.date == r.date &&
        back.record.hour == r.hour && back.record.minute == r.minute &&
        back.record.second == r.second);
  return 0;
}
