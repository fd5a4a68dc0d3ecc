#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/FileDialogs.h"

namespace pelmora {

// The four "..." buttons: browseON and browseOFF pick a sound, browseONa and browseOFFa a
// program. They share one open dialog (path and file must exist).
enum class PickedFile { Sound, Program };

// A filter written as description and pattern pairs separated by "|", with ";" between the
// patterns of one pair ("Звуки (wAv)|*.wav;*.snd|Все файлы|*.*"), in the form the file dialogs
// take: "Звуки (wAv) (*.wav *.snd);;Все файлы (*.*)".
std::string dialogFilter(std::string_view pairs);

// The folder the picker opens in: the edit's text cut at its last path separator (the separator
// and everything after it go); a text without one stays whole.
std::filesystem::path pickerFolder(const std::string& editText);

// The dialog a pick button opens: title, filter, default extension and the folder taken from
// the text of its edit (ePlayON, ePlayOFF, eStartON, eStartOFF).
FileDialogRequest pickerRequest(PickedFile kind, const std::string& editText);

// What the edit holds after a confirmed pick: the chosen file's full path, as UTF-8. A program's
// arguments that the edit held are lost by a pick.
std::string pickedText(const std::filesystem::path& chosen);

// A pick button's click: asks for a file and, when the user confirms, puts its path into the
// edit's text. False (the text unchanged) when the user cancelled.
bool pickFile(FileDialogs& dialogs, PickedFile kind, std::string& editText);

}  // namespace pelmora
