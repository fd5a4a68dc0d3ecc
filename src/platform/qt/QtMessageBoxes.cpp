#include "platform/qt/QtMessageBoxes.h"

#include <QMessageBox>
#include <QString>

namespace pelmora {

namespace {

QMessageBox::Icon toQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toQtButton(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::Yes:
      return QMessageBox::Yes;
    case MessageAnswer::No:
      return QMessageBox::No;
    case MessageAnswer::Ok:
      break;
  }
  return QMessageBox::Ok;
}

}  // namespace

MessageAnswer QtMessageBoxes::show(const MessageBoxRequest& request) {
  QMessageBox box(toQtIcon(request.icon), QString::fromStdString(request.title),
                  QString::fromStdString(request.text));
  if (request.buttons == MessageButtons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  box.setDefaultButton(toQtButton(request.defaultAnswer));
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  const int chosen = box.exec();
  // The end of the program leaves every event loop, this box's too: that is no answer.
  if (m_ending && m_ending()) throw ProgramEnding();
  switch (chosen) {
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    default:
      break;
  }
  // Closing a yes/no box with Escape or the title bar answers No.
  return request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

}  // namespace pelmora
