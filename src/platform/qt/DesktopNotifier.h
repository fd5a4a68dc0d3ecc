#pragma once

#include <functional>
#include <string>

#include "platform/Notifier.h"

class QSystemTrayIcon;

namespace pelmora {

// The desktop's way of telling the user something: the freedesktop notification service over
// the session D-Bus where the build has Qt's D-Bus module (GNOME, KDE and the others show it
// with or without a tray); where that call fails or goes unanswered, the tray icon's balloon
// (Windows, a bare window manager with an XEmbed tray) unless the balloon itself would go to the
// same service (a StatusNotifierItem tray); `unseen` when nothing else can show it (the caller
// shows and flashes its window). The call is asynchronous: the user-interface thread never
// waits for the bus.
class DesktopNotifier final : public Notifier {
 public:
  DesktopNotifier(QSystemTrayIcon& tray, std::function<void()> unseen);

  void notify(const std::string& title, const std::string& text) override;

 private:
  // The tray's balloon, else `unseen`.
  void showWithoutService(const std::string& title, const std::string& text);

  QSystemTrayIcon& m_tray;
  std::function<void()> m_unseen;
};

}  // namespace pelmora
