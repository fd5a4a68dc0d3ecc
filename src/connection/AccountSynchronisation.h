#pragma once

#include <string>

namespace pelmora {

class AccountLog;
class MessageBoxes;
class SettingsStore;

// At start: brings the stored balance (Account) and its copy in Account.LOG into agreement.
//  - neither exists: both become "0";
//  - only the stored balance: the file is written from it;
//  - only the file: its first token becomes the stored balance, unchecked;
//  - both: a file token that is no amount is overwritten from the store silently; two texts
//    that differ in any character (12,5 against 12,50 too) make the user choose between them.
// Declining the question leaves both as they were, so it is asked again at the next start.
// StoreError is not caught.
void synchroniseAccount(SettingsStore& store, const AccountLog& accountLog, MessageBoxes& boxes);

// The account correction of the statistics tab.

// eNewAccountChange: true when the typed text is an amount written with the locale's separator
// (the empty text is not) that the settlement's arithmetic can hold (within ±3.4E38).
bool isTypedAccountValid(const std::string& text, char decimalSeparator);

// bAccSaveClick: the text, unchanged, becomes the stored balance and the content of
// Account.LOG. A text that isTypedAccountValid refuses is not saved: false, nothing written.
// StoreError is not caught.
bool saveCorrectedAccount(SettingsStore& store, const AccountLog& accountLog,
                          const std::string& text, char decimalSeparator);

}  // namespace pelmora
