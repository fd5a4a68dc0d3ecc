#pragma once

namespace pelmora {

class ConnectionLog;
class FileOpener;
class MessageBoxes;

// The two buttons of the settings dialog that act on Internet.LOG.

// bViewClick: opens the log in the desktop's default application for text files, without
// waiting for it; a warning when none can be started.
void viewConnectionLog(const ConnectionLog& log, FileOpener& opener, MessageBoxes& boxes);

// bEraseClick: asks first (No is the default); on Yes the log is replaced by its header alone
// and the user is told so. True when the log was erased. When it cannot be written nothing is
// shown: the log stays as it was.
bool eraseConnectionLog(const ConnectionLog& log, MessageBoxes& boxes);

}  // namespace pelmora
