#include "platform/qt/QtTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace pelmora {

QString installQtTranslation(QCoreApplication& application, const QString& executableFolder) {
  const QString name = QStringLiteral("qtbase_ru.qm");
  const QStringList folders{QDir(executableFolder).filePath(QStringLiteral("translations")),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
  for (const QString& folder : folders) {
    // Owned by the application: it lives as long as the dialogs it translates.
    auto* translator = new QTranslator(&application);
    if (translator->load(name, folder) && QCoreApplication::installTranslator(translator)) {
      return translator->filePath();
    }
    delete translator;
  }
  return {};
}

}  // namespace pelmora
