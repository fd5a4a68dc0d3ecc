#include "platform/qt/DesktopNotifier.h"

#include <utility>

#include <QString>
#include <QSystemTrayIcon>

#ifdef PELMORA_WITH_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>
#endif

namespace pelmora {

namespace {

#ifdef PELMORA_WITH_DBUS
constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kAppId = "org.example.Pelmora";  // the menu entry and its icon
constexpr int kAnswerWait = 5000;                      // ms
// Where this service runs, Qt's tray icon is a StatusNotifierItem, whose balloon is a call to
// the same notification service that has just failed.
constexpr const char* kItemWatcher = "org.kde.StatusNotifierWatcher";
#endif

// Whether the tray's balloon goes through the notification service.
bool balloonNeedsService() {
#ifdef PELMORA_WITH_DBUS
  const QDBusConnection bus = QDBusConnection::sessionBus();
  return bus.isConnected() && bus.interface() != nullptr &&
         bus.interface()->isServiceRegistered(QString::fromLatin1(kItemWatcher)).value();
#else
  return false;
#endif
}

}  // namespace

DesktopNotifier::DesktopNotifier(QSystemTrayIcon& tray, std::function<void()> unseen)
    : m_tray(tray), m_unseen(std::move(unseen)) {}

void DesktopNotifier::notify(const std::string& title, const std::string& text) {
#ifdef PELMORA_WITH_DBUS
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (bus.isConnected()) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                       QString::fromLatin1(kService), QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QString::fromLatin1(kAppId));
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(static_cast<uchar>(1)));
    call << QStringLiteral("Pelmora") << 0U << QString::fromLatin1(kAppId)
         << QString::fromStdString(title) << QString::fromStdString(text) << QStringList() << hints
         << -1;
    // A service the bus starts on demand counts; an error or no answer in time falls back.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kAnswerWait), &m_tray);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_tray,
                     [this, watcher, title, text] {
                       watcher->deleteLater();
                       if (watcher->isError()) showWithoutService(title, text);
                     });
    return;
  }
#endif
  showWithoutService(title, text);
}

void DesktopNotifier::showWithoutService(const std::string& title, const std::string& text) {
  if (QSystemTrayIcon::isSystemTrayAvailable() && QSystemTrayIcon::supportsMessages() &&
      !balloonNeedsService()) {
    m_tray.showMessage(QString::fromStdString(title), QString::fromStdString(text),
                       QSystemTrayIcon::Warning);
    return;
  }
  if (m_unseen) m_unseen();
}

}  // namespace pelmora
