#include "connection/CrashRecovery.h"

#include "connection/ConnectionSettlement.h"
#include "connection/Meter.h"
#include "platform/Failpoint.h"
#include "platform/MessageBoxes.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"

namespace pelmora {

namespace {

constexpr const char* kTitle = "Аварийное восстановление...";

}  // namespace

RecoveryOutcome recoverCrashedConnection(const DurationFile& durationFile,
                                         const ConnectionLog& connectionLog, Meter& meter,
                                         const ConnectionSettlement& settlement,
                                         MessageBoxes& boxes, FileSteps* steps) {
  const DurationReading reading = durationFile.read();

  if (reading.status == DurationReading::Status::Missing) {
    // A crash before the first protector tick left the connect entry open: the next entry must
    // start on a line of its own.
    if (connectionLog.endsInsideConnectEntry()) connectionLog.appendLineEnd();
    durationFile.remove();  // a temporary one a crash during a rewrite may have left
    return RecoveryOutcome::NothingFound;
  }

  if (reading.status == DurationReading::Status::Damaged) {
    // The connect line of the cut connection is still open; its end is unknown.
    connectionLog.appendLineEnd();
    connectionLog.appendIgnored("--:--:--");
    boxes.show(informationBox(
        kTitle,
        "Во время прошлого соединения с Интернетом произошёл сбой,\nв результате которого, "
        "программа НЕ была закрыта логически.\nФайл с длительностью последнего соединения "
        "повреждён и не может быть прочитан,\nпоэтому это соединение НЕ будет засчитано.",
        MessageIcon::Warning));
    durationFile.remove();
    return RecoveryOutcome::Damaged;
  }

  const DurationRecord& stored = reading.record;
  // Ended by a disconnect the program saw: the log has its line, and it is a connection.
  const bool disconnected = connectionLog.holdsDisconnectOf(stored);
  if (!disconnected) connectionLog.appendRestoredDisconnect(stored);
  failpoint("recovery:restored-line");
  meter.restoreConnection(stored.startHour, stored.startMinute, stored.weekday, stored.seconds);
  meter.showDuration();

  const MessageAnswer answer = boxes.show(questionBox(
      kTitle,
      "Во время прошлого соединения с Интернетом произошёл сбой,\nв результате которого, "
      "программа НЕ была закрыта логически.\nНесмотря на это, программа запомнила длительность "
      "последнего соединения.\nНажмите \"ДА\", чтобы его засчитать, или \"НЕТ\", чтобы "
      "проигнорировать.",
      MessageAnswer::Yes));
  if (answer != MessageAnswer::Yes) {
    connectionLog.appendIgnored(meter.durationText());
    durationFile.remove();
    return RecoveryOutcome::Ignored;
  }
  MeteredConnection restored = meter.metered();
  const FileSteps done =
      settlement.settle(restored, disconnected, "recovery", &durationFile,
                        ConnectionLog::disconnectEntry(stored), &meter.display());
  if (steps != nullptr) *steps = done;
  return RecoveryOutcome::Counted;
}

}  // namespace pelmora
