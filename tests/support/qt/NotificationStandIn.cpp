// A stand-in for the desktop's notification service on a private session bus: it takes the
// name org.freedesktop.Notifications, answers Notify and writes each notification to a file as
// one line "app | icon | summary | body | desktop-entry". Prints "ready" once it owns the name.
//
//   pelmora_notification_standin RECORD-FILE

#include <cstdio>
#include <utility>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace {

class NotificationService : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  explicit NotificationService(QString record) : m_record(std::move(record)) {}

 public slots:
  uint Notify(const QString& app, uint replacesId, const QString& icon, const QString& summary,
              const QString& body, const QStringList& actions, const QVariantMap& hints,
              int timeout) {
    Q_UNUSED(replacesId)
    Q_UNUSED(actions)
    Q_UNUSED(timeout)
    QFile file(m_record);
    if (file.open(QIODevice::Append)) {
      const QString line = app + QStringLiteral(" | ") + icon + QStringLiteral(" | ") + summary +
                           QStringLiteral(" | ") + body + QStringLiteral(" | ") +
                           hints.value(QStringLiteral("desktop-entry")).toString() +
                           QLatin1Char('\n');
      file.write(line.toUtf8());
    }
    return ++m_id;
  }
  QStringList GetCapabilities() { return {QStringLiteral("body")}; }
  QString GetServerInformation(QString& vendor, QString& version, QString& specVersion) {
    vendor = QStringLiteral("Pelmora tests");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("stand-in");
  }

 private:
  QString m_record;
  uint m_id = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: pelmora_notification_standin RECORD-FILE\n");
    return 2;
  }
  NotificationService service(QString::fromLocal8Bit(argv[1]));
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                          QDBusConnection::ExportAllSlots) ||
      !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
    std::fprintf(stderr, "cannot take the notification service's name on the session bus\n");
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return QCoreApplication::exec();
}

#include "NotificationStandIn.moc"
