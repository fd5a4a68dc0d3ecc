#pragma once

// The program's parts composed as the entry point composes them, over the tests' stand-ins: the
// core's services, and the settings dialog's over the same objects.

#include <filesystem>
#include <functional>
#include <string>

#include "app/ProgramCore.h"
#include "settings/SettingsServices.h"

namespace pelmora::testing {

// The stand-ins a program core runs over. What a test leaves out: this program's path, a
// terminate that does nothing, the full stop as the decimal separator.
struct CoreParts {
  const Clock& clock;
  ConnectionProbe& probe;
  MessageBoxes& boxes;
  ProgramStarter& starter;
  SoundPlayer& sound;
  SettingsStore& store;
  const Screen& screen;
  std::filesystem::path folder;  // the data folder
  std::string executable = "/usr/bin/pelmora";
  std::function<void()> terminate = [] {};
  char decimalSeparator = '.';
};

inline ProgramCore::Services coreServices(const CoreParts& parts) {
  return {.clock = parts.clock,
          .probe = parts.probe,
          .boxes = parts.boxes,
          .starter = parts.starter,
          .sound = parts.sound,
          .store = parts.store,
          .screen = parts.screen,
          .folder = DataFolder(parts.folder),
          .executable = parts.executable,
          .terminate = parts.terminate,
          .decimalSeparator = parts.decimalSeparator};
}

// What only the settings dialog uses.
struct DialogParts {
  FileDialogs& files;
  Beeper& beeper;
  FileOpener& opener;
  ReportPrinter& printer;
  AddressOpener& links;
};

inline SettingsServices settingsServices(const CoreParts& parts, const DialogParts& dialog) {
  return {.store = parts.store,
          .boxes = parts.boxes,
          .clock = parts.clock,
          .screen = parts.screen,
          .sound = parts.sound,
          .starter = parts.starter,
          .files = dialog.files,
          .beeper = dialog.beeper,
          .opener = dialog.opener,
          .printer = dialog.printer,
          .links = dialog.links,
          .folder = DataFolder(parts.folder),
          .executable = parts.executable,
          .decimalSeparator = parts.decimalSeparator};
}

}  // namespace pelmora::testing
