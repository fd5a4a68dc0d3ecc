#pragma once

#include <utility>

#include <QString>

#include "platform/FileOpener.h"

namespace pelmora {

// Opens files through the desktop's "open" convention (xdg-open and friends; the shell's
// association on Windows). Where the desktop has no program for the file's kind, the fallback
// program (Notepad on Windows, as Windows itself opens a text file nothing claims) gets it.
class QtFileOpener final : public FileOpener {
 public:
  explicit QtFileOpener(QString fallbackProgram = {}) : m_fallback(std::move(fallbackProgram)) {}

  bool open(const std::filesystem::path& file) override;

 private:
  QString m_fallback;
};

}  // namespace pelmora
