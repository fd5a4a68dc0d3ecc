#include "history/ToolConsole.h"

#include <cstdio>
#include <iostream>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

#include "platform/win/ConsoleOutput.h"
#include "platform/win/WideText.h"

namespace pelmora {

std::vector<std::string> toolArguments(int, char*[]) {
  std::vector<std::string> list;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide != nullptr && i < count; ++i) list.push_back(narrow(wide[i]));
  LocalFree(wide);
  return list;
}

const char* dataFolderHelp() {
  return "%PELMORA_HOME%, иначе папка программы для\nпереносной копии, иначе "
         "%LOCALAPPDATA%\\Pelmora";
}

std::string prepareStandardStreams() {
  // The line ends are the tool's own.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  // A console shows Russian text only as wide characters; a file or a pipe gets UTF-8.
  writeStreamToConsole(std::cout, STD_OUTPUT_HANDLE);
  writeStreamToConsole(std::cerr, STD_ERROR_HANDLE);
  return "\r\n";
}

}  // namespace pelmora
