#include "app/QuitController.h"

#include <system_error>
#include <utility>

#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramStarter.h"
#include "store/ConnectionLog.h"
#include "store/DurationFile.h"

namespace pelmora {

const char* const QuitController::kQuestionTitle = "Хотите выйти?";
const char* const QuitController::kQuestionText =
    "Внимание! Обнаружено соединение с Итернетом.\n"
    "Если Вы сейчас закроете программу, данное соединение НЕ будет засчитано.\n"
    "Вы уверены, что хотите закрыть программу?";

QuitController::QuitController(Context context) : m_context(std::move(context)) {}

void QuitController::mReStartClick() {
  m_restart = true;
  mQuitClick();
}

void QuitController::mQuitClick() {
  if (!m_context.isConnected()) {
    finish();
    return;
  }
  const auto answer =
      m_context.boxes.show(questionBox(kQuestionTitle, kQuestionText, MessageAnswer::No));
  if (answer != MessageAnswer::Yes) {
    // A declined restart is forgotten, so a later plain quit stays a plain quit.
    m_restart = false;
    return;
  }
  m_context.log.appendCancel(m_context.clock.now());
  m_context.durationFile.remove();
  finish();
}

void QuitController::finish() {
  // A restart that cannot be launched still ends this instance.
  if (m_restart) m_context.starter.start(m_context.executable, {"/reboot"});
  m_context.terminate();
}

}  // namespace pelmora
