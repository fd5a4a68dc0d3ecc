#include "history/ToolConsole.h"

namespace pelmora {

std::vector<std::string> toolArguments(int argc, char* argv[]) {
  std::vector<std::string> list;
  for (int i = 1; i < argc; ++i) list.emplace_back(argv[i]);
  return list;
}

const char* dataFolderHelp() {
  return "$PELMORA_HOME, иначе $XDG_DATA_HOME/pelmora, иначе\n~/.local/share/pelmora";
}

std::string prepareStandardStreams() {
  return "\n";
}

}  // namespace pelmora
