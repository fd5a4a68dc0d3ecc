#include "app/ConnectionActions.h"

#include "accounting/Meter.h"
#include "accounting/Statistics.h"
#include "platform/Clock.h"
#include "platform/ProgramStarter.h"
#include "platform/SoundPlayer.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"

namespace pelmora {

namespace {

// A flag is on only when it holds exactly 1.
bool flagOn(StoreKey& key, const char* name) {
  return key.ReadInteger(name) == 1;
}

}  // namespace

void ConnectionActions::connect() {
  auto& c = m_context;
  auto program = openKey(c.store, kProgramKey);
  // One reading of the clock stamps the log line and starts the connection.
  const LocalTime now = c.clock.now();

  c.meter.startConnection(now);  // start time, weekday, seconds = SecondsPlus
  c.log.appendConnect(now);
  c.window.enableSwitch(false);
  if (flagOn(*program, "ShowOnConnect")) c.window.showStatusWindow();
  c.window.setMetering(true);
  c.window.enableSettings(false);
  c.window.setFlashing(true);
  if (flagOn(*program, "PlayON")) c.sound.play(program->ReadString("SoundON"));
  if (flagOn(*program, "StartON")) c.starter.startCommandLine(program->ReadString("AppON"));
  program->CloseKey();
}

void ConnectionActions::disconnect() {
  auto& c = m_context;
  auto program = openKey(c.store, kProgramKey);
  const LocalTime now = c.clock.now();

  c.window.setFlashing(false);
  c.log.appendDisconnect(now);
  c.window.enableSwitch(true);
  c.window.setMetering(false);
  c.meter.setCurrentTime(now);
  try {
    c.meter.updateDuration();
    c.meter.closeConnection(c.settlementLogs);
    countConnection(*program);
  } catch (...) {
    // Whatever was settled stays settled; offering the connection again after a restart
    // would count it twice, and the user must be able to go on.
    c.durationFile.remove();
    c.window.enableSettings(true);
    throw;
  }
  c.window.refreshStatistics();
  c.durationFile.remove();
  c.window.enableSettings(true);
  if (flagOn(*program, "PlayOFF")) c.sound.play(program->ReadString("SoundOFF"));
  if (flagOn(*program, "StartOFF")) c.starter.startCommandLine(program->ReadString("AppOFF"));
  if (flagOn(*program, "HideOnDisconnect")) c.window.startHider();
  program->CloseKey();
}

}  // namespace pelmora
