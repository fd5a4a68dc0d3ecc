#pragma once

#include <string>

namespace pelmora {

// The keys of the settings store the program uses.
inline constexpr const char* kProgramKey = "Software\\Kedrun\\Pelmora";
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kApplicationsKey = "Software\\Kedrun\\Applications";

// The tariff key of one weekday, 0 = Sunday ... 6 = Saturday.
inline std::string tariffKey(int weekday) {
  return std::string(kProgramKey) + "\\Tariffs\\" + std::to_string(weekday);
}

}  // namespace pelmora
