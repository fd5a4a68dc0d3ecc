#include "platform/qt/linux/LpReportPrinter.h"

#include <system_error>

#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include "platform/qt/QtPathText.h"

namespace pelmora {

namespace {

PrintResult failed(const QString& reason) {
  return {PrintOutcome::Failed, reason.toStdString()};
}

}  // namespace

PrintResult LpReportPrinter::print(const std::filesystem::path& file) {
  const QString lp = QStandardPaths::findExecutable(QStringLiteral("lp"));
  if (lp.isEmpty()) return {PrintOutcome::NoPrintCommand, {}};

  // Absolute, so the argument never starts with a dash that lp would take for an option.
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(file, error);
  QProcess process;
  process.setProgram(lp);
  process.setArguments({pathText(error ? file : absolute)});
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  const int timeout = static_cast<int>(m_timeout.count());
  process.start();
  if (!process.waitForStarted(timeout)) {
    return failed(
        QStringLiteral("команда печати «lp» не запустилась: %1").arg(process.errorString()));
  }
  if (!process.waitForFinished(timeout)) {
    process.kill();
    process.waitForFinished(timeout);
    return failed(QStringLiteral("команда печати «lp» не ответила за %1 мс").arg(timeout));
  }
  if (process.exitStatus() != QProcess::NormalExit) {
    return failed(QStringLiteral("команда печати «lp» завершилась аварийно"));
  }
  if (process.exitCode() != 0) {
    QString reason =
        QStringLiteral("команда печати «lp» завершилась с кодом %1").arg(process.exitCode());
    // lp says why on its first line of errors ("no default destination", and the like).
    const QString said =
        QString::fromLocal8Bit(process.readAllStandardError()).trimmed().section(u'\n', 0, 0);
    if (!said.isEmpty()) reason += QStringLiteral(": ") + said.trimmed();
    return failed(reason);
  }
  return {PrintOutcome::Printed, {}};
}

}  // namespace pelmora
