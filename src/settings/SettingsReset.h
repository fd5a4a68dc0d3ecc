#pragma once

#include <functional>
#include <string>

namespace pelmora {

class MessageBoxes;
class ProgramStarter;
class SettingsStore;

// "СБРОСИТЬ ВСЕ НАСТРОЙКИ": after a Yes, the program key goes with all its subkeys (the tariffs
// too) except the account balance, which is written back byte for byte; the autostart entry,
// the launch counter and the files stay. Then the "Ok!" box, a new instance started with
// "/reboot", and the end of this one: the new instance starts as a first run.
struct SettingsReset {
  MessageBoxes& boxes;
  SettingsStore& store;
  ProgramStarter& starter;
  std::string executable;                   // this program, started again as it is
  std::function<void()> detachHideHandler;  // the dialog's closing must not reload the tariffs
  std::function<void()> endProgram;         // ends this instance

  static const char* const kQuestionTitle;
  static const char* const kQuestionText;
  static const char* const kRestartTitle;
  static const char* const kRestartText;

  // bResetClick. False when the user did not answer Yes (nothing changed). A store error is
  // passed on before anything is deleted or with the deletion undone, and nothing is started.
  bool run();
};

// "ОЧИСТИТЬ  СТАТИСТИКУ  СОЕДИНЕНИЙ": after a Yes, the counters of the day, week, month,
// total and the last connection are set to 0 ("0" for the costs), all or none; Account, Date,
// UpdatedW, UpdatedM and the logs stay. False when the user did not answer Yes. The caller then
// refreshes the statistics tab and brings it to the front.
bool clearStatistics(MessageBoxes& boxes, SettingsStore& store);

inline constexpr const char* kClearStatisticsTitle = "Очистить статистику?";
inline constexpr const char* kClearStatisticsText =
    "Вы уверены, что хотите очистить статистику соединений?";

}  // namespace pelmora
