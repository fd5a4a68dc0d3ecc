#pragma once

namespace pelmora {

// Named points in the program's file and store steps where a test build can stop the process
// dead, to prove that no instant of dying loses or doubles a connection. The program itself
// installs no handler: the calls cost one pointer test.
using FailpointHandler = void (*)(const char* name);

// The handler called at every failpoint; null (the default) does nothing.
void setFailpointHandler(FailpointHandler handler);

// Reached a named point ("disconnect:committed", "recovery:account-log", ...).
void failpoint(const char* name);

// Lets a test build refuse the program's file writes as a full disk would: the handler is asked
// before each text file is written and returns true to make that write fail. None by default.
using WriteRefusal = bool (*)(const char* file);
void setWriteRefusal(WriteRefusal refusal);
// True when the installed handler refuses writing this file (its name without the folder).
bool writeRefused(const char* file);

}  // namespace pelmora
