#pragma once

#include <string>

#include "platform/DataFolder.h"

namespace pelmora {

class AddressOpener;
class Beeper;
class Clock;
class FileDialogs;
class FileOpener;
class MessageBoxes;
class ProgramStarter;
class ReportPrinter;
class Screen;
class SettingsStore;
class SoundPlayer;

// What the settings dialog and its tabs use of the program's world. The entry point composes it
// from the services it gives the program's core and the dialog's own.
struct SettingsServices {
  SettingsStore& store;
  MessageBoxes& boxes;
  const Clock& clock;       // today's tariffs, the statistics' day, the report's date
  const Screen& screen;     // the position edits' limits, the dialog's place
  SoundPlayer& sound;       // the sound tests
  ProgramStarter& starter;  // the program tests, the reset's restart
  FileDialogs& files;
  Beeper& beeper;          // a refused entry
  FileOpener& opener;      // the connection log's viewer
  ReportPrinter& printer;  // the statistics report
  AddressOpener& links;    // the information tab's links
  DataFolder folder;       // the two logs and the printed report
  std::string executable;  // the autostart entry, the reset's restart, the user guide beside it
  char decimalSeparator = '.';  // the locale's, for every amount text
};

}  // namespace pelmora
