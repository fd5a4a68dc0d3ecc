#include "app/ConnectionLogActions.h"

#include "platform/FileOpener.h"
#include "platform/MessageBoxes.h"
#include "store/ConnectionLog.h"

namespace pelmora {

void viewConnectionLog(const ConnectionLog& log, FileOpener& opener, MessageBoxes& boxes) {
  if (opener.open(log.path())) return;
  boxes.show(informationBox(
      "Файл \"notepad.exe\" не найден.   :-(",
      "Внимание! На Вашем компьютере не найден \"Блокнот\" (notepad.exe).\nПросмотр log-файла "
      "из программы не возможен.\nОткройте log-файл самостоятельно.",
      MessageIcon::Warning));
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
