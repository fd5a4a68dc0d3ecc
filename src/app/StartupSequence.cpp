#include "app/StartupSequence.h"

#include <filesystem>
#include <system_error>

#include "connection/AccountSynchronisation.h"
#include "connection/ConnectionSettlement.h"
#include "connection/Meter.h"
#include "platform/Clock.h"
#include "store/AccountLog.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"
#include "store/StoreProcedures.h"
#include "store/StoredStatistics.h"
#include "store/TextFile.h"
#include "store/ProgramOptions.h"

namespace pelmora {

StartupResult StartupSequence::run() {
  auto& c = m_context;
  StartupResult result;

  // A crash in the middle of replacing a file leaves its temporary copy; the file itself is whole.
  for (const auto* file : {&c.accountLog.path(), &c.connectionLog.path(), &c.durationFile.path(),
                           &c.waitingFile.path()}) {
    std::error_code ignored;
    std::filesystem::remove(replacementPath(*file), ignored);
  }

  // The program key and the autostart list exist from here on. No handle is kept open across
  // a question to the user: an open handle holds the store's write lock.
  openKey(c.store, kProgramKey)->CloseKey();
  openKey(c.store, kRunKey)->CloseKey();

  stampVersionCheck(c.store, c.executable);
  result.defaultsWritten = writeMissingDefaults(c.store, c.screen);
  result.tariffsIncomplete = ensureTariffWeek(c.store);
  stampVersionWrite(c.store);

  c.connectionLog.createHeaderIfMissing();
  // Before the balances are compared: a settlement the store holds but the files do not yet is
  // the program's own doing, not a difference to ask about.
  if (const std::optional<FileSteps> finished = c.settlement.finishSettled()) {
    result.settlementFinished = true;
    result.unfinished = *finished;
  }
  // While Account.LOG lags behind the store by the program's own settlement, a difference is no
  // question for the user.
  if (result.unfinished.done) synchroniseAccount(c.store, c.accountLog, c.boxes);
  countLaunch(c.store);

  {
    auto program = openKey(c.store, kProgramKey);
    const LocalTime today = c.clock.now();
    rollOverPeriods(*program, today);
    recordStartDate(*program, today);  // Date, and the last connection's Cents and Seconds
    // A connection cut by a crash is settled under the same rules as a live one: the free
    // seconds and the display unit are the stored ones, not those of a window not yet shown.
    c.meter.setExtraSeconds(read(*program, options::kSecondsPlus));
    c.meter.setFreeSeconds(read(*program, options::kZero));
    c.meter.setDisplayUnit(read(*program, options::kCurrencyStatus));
    program->CloseKey();
  }
  // Counted after the period resets: it belongs to the day of this start.
  // Duration.tmp still naming a settled connection is no crashed one.
  // Waiting.tmp holds a connection that ended before the one in Duration.tmp began.
  if (result.unfinished.done && c.waitingFile.read().status != DurationReading::Status::Missing) {
    result.recovery = recoverCrashedConnection(c.waitingFile, c.connectionLog, c.meter,
                                               c.settlement, c.boxes, &result.unfinished);
  }
  if (result.unfinished.done) {
    const RecoveryOutcome last = recoverCrashedConnection(
        c.durationFile, c.connectionLog, c.meter, c.settlement, c.boxes, &result.unfinished);
    if (last != RecoveryOutcome::NothingFound) result.recovery = last;
  }

  auto program = openKey(c.store, kProgramKey);
  result.showWindow = read(*program, options::kShowOnStart) == 1 || result.defaultsWritten;
  program->CloseKey();
  return result;
}

}  // namespace pelmora
