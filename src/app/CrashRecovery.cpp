#include "app/CrashRecovery.h"

#include "accounting/Meter.h"
#include "platform/MessageBoxes.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"

namespace pelmora {

namespace {

constexpr const char* kTitle = "Аварийное восстановление...";

// Deletes Duration.tmp when the recovery leaves, however it leaves.
class DeleteOnExit {
 public:
  explicit DeleteOnExit(const DurationFile& file) : m_file(file) {}
  ~DeleteOnExit() { m_file.remove(); }
  DeleteOnExit(const DeleteOnExit&) = delete;
  DeleteOnExit& operator=(const DeleteOnExit&) = delete;

 private:
  const DurationFile& m_file;
};

}  // namespace

RecoveryOutcome recoverCrashedConnection(const DurationFile& durationFile,
                                         const ConnectionLog& connectionLog, Meter& meter,
                                         SettlementLogs& settlementLogs, MessageBoxes& boxes) {
  const DeleteOnExit deleteOnExit(durationFile);
  const DurationReading reading = durationFile.read();

  if (reading.status == DurationReading::Status::Missing) return RecoveryOutcome::NothingFound;

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
    return RecoveryOutcome::Damaged;
  }

  const DurationRecord& stored = reading.record;
  connectionLog.appendRestoredDisconnect(stored);
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
    return RecoveryOutcome::Ignored;
  }
  meter.lookUpZone();
  meter.updateCost();
  meter.closeConnection(settlementLogs);
  return RecoveryOutcome::Counted;
}

}  // namespace pelmora
