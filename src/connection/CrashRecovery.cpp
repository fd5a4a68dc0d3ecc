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
  bool disconnected = connectionLog.holdsDisconnectOf(stored);
  std::string disconnectEntry = ConnectionLog::disconnectEntry(stored);
  std::int32_t seconds = stored.seconds;
  if (!disconnected) {
    // The file's last write came before the disconnect the log holds (the final one failed,
    // the disk was full): the connection lasted until that disconnect.
    if (const auto later = connectionLog.laterDisconnectOf(stored)) {
      disconnected = true;
      disconnectEntry = later->entry;
      seconds += later->secondsAfter;
    }
  }
  if (!disconnected) connectionLog.appendRestoredDisconnect(stored);
  failpoint("recovery:restored-line");
  meter.restoreConnection(stored.startHour, stored.startMinute, stored.weekday, seconds);
  meter.showDuration();

  // A connection that ended normally and only waited for its settlement when the program was
  // closed is no crash.
  const MessageAnswer answer = boxes.show(questionBox(
      kTitle,
      disconnected
          ? "Прошлое соединение с Интернетом закончилось, но программа не успела его "
            "засчитать.\nНесмотря на это, программа запомнила длительность этого соединения.\n"
            "Нажмите \"ДА\", чтобы его засчитать, или \"НЕТ\", чтобы проигнорировать."
          : "Во время прошлого соединения с Интернетом произошёл сбой,\nв результате которого, "
            "программа НЕ была закрыта логически.\nНесмотря на это, программа запомнила "
            "длительность последнего соединения.\nНажмите \"ДА\", чтобы его засчитать, или "
            "\"НЕТ\", чтобы проигнорировать.",
      MessageAnswer::Yes));
  if (answer != MessageAnswer::Yes) {
    connectionLog.appendIgnored(meter.durationText());
    durationFile.remove();
    return RecoveryOutcome::Ignored;
  }
  MeteredConnection restored = meter.metered();
  const FileSteps done = settlement.settle(restored, disconnected, "recovery", &durationFile,
                                           disconnectEntry, &meter.display());
  if (steps != nullptr) *steps = done;
  return RecoveryOutcome::Counted;
}

}  // namespace pelmora
