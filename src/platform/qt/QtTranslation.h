#pragma once

#include <QString>

class QCoreApplication;

namespace pelmora {

// Makes Qt's own dialogs (message box buttons, file dialogs) speak Russian like the rest of the
// program, whatever the user's locale: loads Qt's Russian catalogue qtbase_ru.qm from a
// "translations" folder beside the executable (where the Windows installer puts it), else from
// Qt's own translations folder (Debian's qt6-translations-l10n). Returns the file it loaded;
// empty when there is none, and the dialogs stay in English.
QString installQtTranslation(QCoreApplication& application, const QString& executableFolder);

}  // namespace pelmora
