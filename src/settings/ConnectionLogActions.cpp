#include "settings/ConnectionLogActions.h"

#include "settings/LogViewerTexts.h"
#include "platform/FileOpener.h"
#include "platform/MessageBoxes.h"
#include "store/ConnectionLog.h"

namespace pelmora {

void viewConnectionLog(const ConnectionLog& log, FileOpener& opener, MessageBoxes& boxes) {
  if (opener.open(log.path())) return;
  boxes.show(logViewerMissingBox(log.path()));
}

bool eraseConnectionLog(const ConnectionLog& log, MessageBoxes& boxes) {
  const MessageAnswer answer = boxes.show(questionBox(
      "Очистить?", "Вы уверены, что хотите очистить лог-файл соединений?", MessageAnswer::No));
  if (answer != MessageAnswer::Yes) return false;
  if (!log.erase()) return false;
  boxes.show(informationBox("Файл очищен.", "Лог-файл соединений очищен успешно."));
  return true;
}

}  // namespace pelmora
