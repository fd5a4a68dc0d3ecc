#include "platform/qt/QtBeeper.h"

#include <QApplication>

namespace pelmora {

void QtBeeper::beep() {
  QApplication::beep();
}

}  // namespace pelmora
