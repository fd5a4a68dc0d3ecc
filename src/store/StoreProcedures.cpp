#include "store/StoreProcedures.h"

#include <cstdint>
#include <memory>

#include "platform/ProgramVersion.h"
#include "store/ProgramOptions.h"
#include "store/StoreKeys.h"

namespace pelmora {

std::string autostartData(const std::string& executablePath) {
  return "\"" + executablePath + "\"";
}

std::string programTitle(int major, int minor) {
  return std::string(kProgramName) + " v" + std::to_string(major) + "." + std::to_string(minor);
}

void stampVersionCheck(SettingsStore& store, const std::string& executablePath) {
  auto program = openKey(store, kProgramKey);
  if (!exists(*program, options::kVersionA) || !exists(*program, options::kVersionZ)) return;
  const std::int32_t major = read(*program, options::kVersionA);
  const std::int32_t minor = read(*program, options::kVersionZ);
  if (major == kVersionMajor && minor == kVersionMinor) return;
  auto run = openKey(store, kRunKey);
  const std::string oldTitle = programTitle(major, minor);
  // Only an entry that was there is carried over: an upgrade never switches autostart on.
  if (!run->ValueExists(oldTitle)) return;
  run->DeleteValue(oldTitle);
  run->WriteString(kProgramTitle, autostartData(executablePath));
  run->CloseKey();
  program->CloseKey();
}

bool writeMissingDefaults(SettingsStore& store, const Screen& screen) {
  auto program = openKey(store, kProgramKey);
  const ScreenSize size = screen.size();
  bool wrote = false;
  for (const DefaultValue& value : programDefaults()) {
    if (program->ValueExists(value.name)) continue;
    if (value.isInteger()) {
      program->WriteInteger(value.name, value.integerOn(size));
    } else {
      program->WriteString(value.name, value.text);
    }
    wrote = true;
  }
  program->CloseKey();
  return wrote;
}

bool ensureTariffWeek(SettingsStore& store) {
  bool incomplete = false;
  for (int weekday = 0; weekday < 7 && !incomplete; ++weekday) {
    auto day = openKey(store, tariffKey(weekday));
    for (const TariffDefault& value : tariffDefaults()) {
      if (!day->ValueExists(value.name)) {
        incomplete = true;
        break;
      }
    }
    day->CloseKey();
  }
  if (!incomplete) return false;
  // One missing value resets the whole week.
  for (int weekday = 0; weekday < 7; ++weekday) {
    auto day = openKey(store, tariffKey(weekday));
    for (const TariffDefault& value : tariffDefaults()) day->WriteInteger(value.name, value.value);
    day->CloseKey();
  }
  return true;
}

void stampVersionWrite(SettingsStore& store) {
  auto program = openKey(store, kProgramKey);
  write(*program, options::kVersionA, kVersionMajor);
  write(*program, options::kVersionZ, kVersionMinor);
  write(*program, options::kVersion, kVersionText);
  program->CloseKey();
}

void countLaunch(SettingsStore& store) {
  auto applications = openKey(store, kApplicationsKey);
  if (!applications->ValueExists(kProgramTitle)) applications->WriteInteger(kProgramTitle, 0);
  const std::int32_t count = applications->ReadInteger(kProgramTitle);
  // Past the largest integer the counter wraps, as a 32-bit register would.
  applications->WriteInteger(kProgramTitle,
                             static_cast<std::int32_t>(static_cast<std::uint32_t>(count) + 1u));
  applications->CloseKey();
}

}  // namespace pelmora
