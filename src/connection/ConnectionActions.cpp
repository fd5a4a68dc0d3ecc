#include "connection/ConnectionActions.h"

#include <optional>
#include <stdexcept>
#include <string>

#include "connection/ConnectionSettlement.h"
#include "platform/Clock.h"
#include "platform/ProgramStarter.h"
#include "platform/SoundPlayer.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"
#include "store/SettingsStore.h"
#include "store/StoreError.h"
#include "store/StoreKeys.h"
#include "store/ProgramOptions.h"

namespace pelmora {

namespace {

// A flag is on only when it holds exactly 1.
bool flagOn(StoreKey& key, IntegerOption flag) {
  return read(key, flag) == 1;
}

constexpr const char* kFullNote =
    "\n\nСоединение пока НЕ засчитано: на диске нет места для базы настроек. Оно сохранено и "
    "будет засчитано, как только место появится; наблюдение за соединением продолжается.";

constexpr const char* kKeptNote =
    "\n\nСоединение НЕ засчитано и сохранено: после исправления значения оно будет предложено "
    "к подсчёту при следующем запуске программы.\nНаблюдение за соединением выключено до "
    "перезапуска программы.";

}  // namespace

void ConnectionActions::connect() {
  auto& c = m_context;
  // Files an earlier settlement could not write go before this connection's lines, and free
  // the crash file for it; the retry goes on when they still cannot be written.
  if (m_pending.empty() && m_unfinished) {
    try {
      finishFiles();
    } catch (const StoreError&) {
      // The retry meets the store again.
    }
  }
  // The connection waiting for the store or for its files leaves Duration.tmp to this one.
  for (Pending& waiting : m_pending) {
    if (waiting.crashFile == &c.durationFile && !holds(c.waitingFile) &&
        c.durationFile.moveTo(c.waitingFile)) {
      waiting.crashFile = &c.waitingFile;
    }
  }
  if (m_unfinished && m_unfinishedSteps.crashFile == c.durationFile.path() &&
      !holds(c.waitingFile) && c.durationFile.moveTo(c.waitingFile)) {
    m_unfinishedSteps.crashFile = c.waitingFile.path();
  }
  auto program = openKey(c.store, kProgramKey);
  // One reading of the clock stamps the log line and starts the connection.
  const LocalTime now = c.clock.now();

  c.meter.startConnection(now);  // start time, weekday, seconds = SecondsPlus
  m_metering = true;
  c.log.appendConnect(now);
  c.window.enableSwitch(false);
  if (flagOn(*program, options::kShowOnConnect)) c.window.showStatusWindow();
  c.window.setMetering(true);
  c.window.enableSettings(false);
  c.window.setFlashing(true);
  if (flagOn(*program, options::kPlayON)) c.sound.play(read(*program, options::kSoundON));
  if (flagOn(*program, options::kStartON))
    c.starter.startCommandLine(read(*program, options::kAppON));
  program->CloseKey();
}

void ConnectionActions::disconnect() {
  auto& c = m_context;
  // The poll that saw the end ends the connection, whatever the store does next.
  const LocalTime now = c.clock.now();

  c.window.setFlashing(false);
  c.log.appendDisconnect(now);
  c.window.enableSwitch(true);
  c.window.setMetering(false);
  c.meter.setCurrentTime(now);
  c.meter.updateDuration();
  m_metering = false;
  // Until the store holds the connection, the crash file keeps it with its final duration. While
  // an earlier one waits for the store, the file is that one's.
  // When the final write fails, the last protector tick's file still names this connection.
  const bool ownsCrashFile = !crashFileTaken();
  if (ownsCrashFile) {
    c.durationFile.write(c.meter.connectionSeconds(), c.meter.startHour(), c.meter.startMinute(),
                         c.meter.weekday(), now);
  }
  m_pending.push_back({c.meter.metered(), now, ownsCrashFile ? &c.durationFile : nullptr});
  std::string unwritten;
  try {
    unwritten = settlePending();
  } catch (...) {
    c.window.enableSettings(true);
    throw;
  }
  c.window.enableSettings(true);

  auto program = openKey(c.store, kProgramKey);
  const bool playOff = flagOn(*program, options::kPlayOFF);
  const std::string soundOff = read(*program, options::kSoundOFF);
  const bool startOff = flagOn(*program, options::kStartOFF);
  const std::string appOff = read(*program, options::kAppOFF);
  const bool hide = flagOn(*program, options::kHideOnDisconnect);
  program->CloseKey();
  if (playOff) c.sound.play(soundOff);
  if (startOff) c.starter.startCommandLine(appOff);
  if (hide) c.window.startHider();
  if (!unwritten.empty()) throw std::runtime_error(unwritten);
}

void ConnectionActions::retrySettlement() {
  const std::string unwritten = settlePending();
  if (!unwritten.empty()) throw std::runtime_error(unwritten);
}

void ConnectionActions::filesUnfinished(const FileSteps& steps) {
  m_unfinished = true;
  m_unfinishedSteps = steps;
  m_context.window.setSettlementRetry(true);
}

bool ConnectionActions::holds(const DurationFile& file) const {
  for (const Pending& p : m_pending) {
    if (p.crashFile == &file) return true;
  }
  return m_unfinished && m_unfinishedSteps.crashFile == file.path();
}

bool ConnectionActions::finishFiles() {
  if (!m_unfinished) return true;
  m_unfinishedSteps = m_context.settlement.finishAgain(m_unfinishedSteps);
  m_unfinished = !m_unfinishedSteps.done;
  return !m_unfinished;
}

std::string ConnectionActions::settlePending() {
  auto& c = m_context;
  std::string unwritten;
  try {
    // The files of the connection settled before come first: the log keeps their order.
    while (finishFiles() && !m_pending.empty()) {
      Pending& next = m_pending.front();
      const Connection& ended = next.connection.connection;
      // No crash file was free when it ended: Waiting.tmp is, now that those before are done.
      if (next.crashFile == nullptr && !holds(c.waitingFile) &&
          c.waitingFile.write(ended.seconds, ended.start.hour, ended.start.minute, ended.weekday,
                              next.ended)) {
        next.crashFile = &c.waitingFile;
      }
      // The panels show the last connection that ended until the next one is metered.
      MeterDisplay* display = !m_metering && m_pending.size() == 1 ? &c.meter.display() : nullptr;
      const FileSteps steps =
          c.settlement.settle(next.connection, true, "disconnect", next.crashFile,
                              ConnectionLog::disconnectEntry(next.ended), display);
      m_pending.pop_front();
      c.window.refreshStatistics();
      if (!steps.done) {
        m_unfinished = true;
        m_unfinishedSteps = steps;
        if (unwritten.empty()) unwritten = unfinishedFilesText(steps);
      }
    }
  } catch (const StoreBusy&) {
    // Tried again in a second; the window goes on meanwhile.
    c.window.setSettlementRetry(true);
    return unwritten;
  } catch (const StoreFull& e) {
    // Like a busy store, tried again every second until there is room; told once.
    c.window.setSettlementRetry(true);
    if (!m_toldFull && unwritten.empty()) unwritten = e.what() + std::string(kFullNote);
    m_toldFull = true;
    return unwritten;
  } catch (const std::exception& e) {
    m_pending.clear();
    c.window.setSettlementRetry(false);
    c.window.stopMonitoring();
    throw std::runtime_error(e.what() + std::string(kKeptNote));
  }
  m_toldFull = false;
  c.window.setSettlementRetry(m_unfinished || !m_pending.empty());
  return unwritten;
}

}  // namespace pelmora
