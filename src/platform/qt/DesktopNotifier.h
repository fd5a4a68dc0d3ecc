#pragma once

#include <functional>
#include <string>

#include "platform/Notifier.h"

class QSystemTrayIcon;

namespace pelmora {

// The desktop's way of telling the user something: the freedesktop notification service over
// the session D-Bus where the build has Qt's D-Bus module (GNOME, KDE and the others show it
// with or without a tray); the tray icon's balloon where there is no such service (Windows, a
// bare window manager with a tray); `unseen` when neither can show it (the caller flashes its
// window). The D-Bus call is asynchronous: the user-interface thread never waits for the bus.
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
