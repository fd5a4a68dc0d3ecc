#include "connection/AccountSynchronisation.h"

#include <cmath>

#include "accounting/AmountText.h"
#include "platform/MessageBoxes.h"
#include "store/AccountLog.h"
#include "store/SettingsStore.h"
#include "store/StoreKeys.h"
#include "store/ProgramOptions.h"

namespace pelmora {

namespace {

void writeStoredBalance(SettingsStore& store, const std::string& text) {
  auto key = openKey(store, kProgramKey);
  write(*key, options::kAccount, text);
  key->CloseKey();
}

// A balance from a file: either separator, so a file written before the locale changed still
// counts as an amount.
bool isStoredAmount(const AccountToken& token) {
  if (token.status != AccountToken::Status::Read) return false;
  try {
    parseStoredAmount(token.text);
    return true;
  } catch (const AmountError&) {
    return false;
  }
}

// The currency sign, one blank and the balance, as both questions show it. The sign is read
// afresh each time.
std::string withCurrency(SettingsStore& store, const std::string& balance) {
  auto key = openKey(store, kProgramKey);
  const std::string currency = read(*key, options::kCurrency);
  key->CloseKey();
  return currency + " " + balance;
}

// Both copies exist and differ: the user picks one.
void resolveDifference(SettingsStore& store, const AccountLog& accountLog, MessageBoxes& boxes,
                       const std::string& fromFile, const std::string& fromStore) {
  const MessageAnswer fix = boxes.show(questionBox(
      "Ассинхронизация...",
      "Внимание! Значение данных состояния счёта\nв системном реестре и лог-файле программы НЕ "
      "СОВПАДАЮТ!\nХотите ли Вы исправить эту ошибку сейчас?",
      MessageAnswer::Yes));
  if (fix != MessageAnswer::Yes) {
    boxes.show(informationBox("Не забудьте!",
                              "В таком случае НЕ ЗАБУДЬТЕ исправить эту ошибку в ручную!.."));
    return;
  }

  std::string text = "Программой обнаружены следующие сохранённые параметры:\n\tв файле = ";
  text += withCurrency(store, fromFile);
  text += "...\n\tв реестре = ";
  text += withCurrency(store, fromStore);
  text +=
      "...\nДля исправления сделайте следующее:\n\tнажмите \"ДА\" (YES) чтобы принять "
      "значение \"";
  text += withCurrency(store, fromFile);
  text += "\" или\n\tнажмите \"НЕТ\" (NO) чтобы принять значение \"";
  text += withCurrency(store, fromStore);
  text += "\"...";
  if (boxes.show(questionBox("Восстановить из файла?", text, MessageAnswer::Yes)) ==
      MessageAnswer::Yes) {
    writeStoredBalance(store, fromFile);
  } else {
    accountLog.rewrite(fromStore);
  }
  boxes.show(informationBox("Ок!", "Данные успешно синхронизированы..."));
}

}  // namespace

void synchroniseAccount(SettingsStore& store, const AccountLog& accountLog, MessageBoxes& boxes) {
  // The store handle is closed before any question: nothing stays locked while a box is open.
  auto key = openKey(store, kProgramKey);
  const bool valuePresent = exists(*key, options::kAccount);
  const std::string fromStore = valuePresent ? read(*key, options::kAccount) : std::string();
  key->CloseKey();
  const AccountToken token = accountLog.readFirstToken();
  const bool filePresent = token.status != AccountToken::Status::Missing;

  if (!filePresent && !valuePresent) {
    accountLog.rewrite("0");
    writeStoredBalance(store, "0");
  } else if (!filePresent) {
    accountLog.rewrite(fromStore);
  } else if (!valuePresent) {
    // A token longer than any balance was not written by the program: start from zero rather
    // than store a cut piece of it.
    if (token.status == AccountToken::Status::TooLong) {
      accountLog.rewrite("0");
      writeStoredBalance(store, "0");
    } else {
      writeStoredBalance(store, token.text);
    }
  } else if (!isStoredAmount(token)) {
    accountLog.rewrite(fromStore);
  } else if (token.text != fromStore) {
    resolveDifference(store, accountLog, boxes, token.text, fromStore);
  }
}

bool isTypedAccountValid(const std::string& text, char decimalSeparator) {
  try {
    // The settlement draws from the balance as a float: a balance beyond its range would be
    // refused at the next disconnect, after the connection was made.
    return std::isfinite(static_cast<float>(parseTypedAmount(text, decimalSeparator)));
  } catch (const AmountError&) {
    return false;
  }
}

bool saveCorrectedAccount(SettingsStore& store, const AccountLog& accountLog,
                          const std::string& text, char decimalSeparator) {
  if (!isTypedAccountValid(text, decimalSeparator)) return false;
  writeStoredBalance(store, text);
  accountLog.rewrite(text);
  return true;
}

}  // namespace pelmora
