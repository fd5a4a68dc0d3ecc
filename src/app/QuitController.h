#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace pelmora {

class Clock;
class ConnectionLog;
class DurationFile;
class MessageBoxes;
class ProgramStarter;

// Quitting and restarting from the menu. While a connection is up the user is asked first: a
// confirmed quit marks the connection cancelled in the log and forgets it, so it is not counted.
class QuitController {
 public:
  struct Context {
    std::function<bool()> isConnected;
    MessageBoxes& boxes;
    const Clock& clock;
    const ConnectionLog& log;
    const DurationFile& durationFile;
    ProgramStarter& starter;
    std::string executable;           // this program, for the restart
    std::function<void()> terminate;  // ends the message loop
  };

  explicit QuitController(Context context);

  // "Выход": quit, asking first while connected.
  void mQuitClick();
  // "Перезапуск": start a new instance with "/reboot", then quit as above.
  void mReStartClick();

  bool restartRequested() const { return m_restart; }

  static const char* const kQuestionTitle;
  static const char* const kQuestionText;

 private:
  void finish();

  Context m_context;
  bool m_restart = false;
};

}  // namespace pelmora
