#include "settings/SettingsReset.h"

#include "platform/MessageBoxes.h"
#include "platform/ProgramStarter.h"
#include "store/ProgramOptions.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"

namespace pelmora {

const char* const SettingsReset::kQuestionTitle = "Вы уверены?";
const char* const SettingsReset::kQuestionText =
    "Вы уверены, что хотите сбросить все настройки и статистику\n"
    "и вернуться ко всем параметрам по умолчанию?";
const char* const SettingsReset::kRestartTitle = "Ok!";
const char* const SettingsReset::kRestartText =
    "Параметры по умолчанию вступят в силу после перезапуска программы.\n"
    "Нажмите \"OK\" чтобы перезапустить программу.";

bool SettingsReset::run() {
  if (boxes.show(questionBox(kQuestionTitle, kQuestionText, MessageAnswer::No)) !=
      MessageAnswer::Yes) {
    return false;
  }
  // The deletion and the balance written back are one unit: a crash in between must not lose
  // the balance.
  store.Atomically([this] {
    auto program = openKey(store, kProgramKey);
    // A balance that was never written stays unwritten, so that the next start's account
    // synchronisation still sees it missing.
    const bool hadAccount = exists(*program, options::kAccount);
    const std::string account = read(*program, options::kAccount);
    program->CloseKey();
    store.DeleteKey(kProgramKey);
    program = openKey(store, kProgramKey);
    if (hadAccount) write(*program, options::kAccount, account);
    program->CloseKey();
  });
  // From here the dialog closes only with the program, over a store without tariffs.
  if (detachHideHandler) detachHideHandler();
  boxes.show(informationBox(kRestartTitle, kRestartText));
  // The path is one argument, blanks and all; a restart that cannot be launched still ends
  // this instance.
  starter.start(executable, {"/reboot"});
  if (endProgram) endProgram();
  return true;
}

bool clearStatistics(MessageBoxes& boxes, SettingsStore& store) {
  if (boxes.show(questionBox(kClearStatisticsTitle, kClearStatisticsText, MessageAnswer::No)) !=
      MessageAnswer::Yes) {
    return false;
  }
  store.Atomically([&store] {
    auto program = openKey(store, kProgramKey);
    for (IntegerOption number :
         {options::kNumberD, options::kNumberW, options::kNumberM, options::kNumberT}) {
      write(*program, number, 0);
    }
    for (TextOption cents : {options::kCents, options::kCentsD, options::kCentsW, options::kCentsM,
                             options::kCentsT}) {
      write(*program, cents, "0");
    }
    for (IntegerOption seconds : {options::kSeconds, options::kSecondsD, options::kSecondsW,
                                  options::kSecondsM, options::kSecondsT}) {
      write(*program, seconds, 0);
    }
    program->CloseKey();
  });
  return true;
}

}  // namespace pelmora
