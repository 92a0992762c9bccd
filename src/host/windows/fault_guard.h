// The guard around the mode dispatch: a fault that nothing handles must not
// leave the system's saver-running flag raised (on Windows 9x it keeps the
// system keys switched off) after the process is gone.
//
// MinGW's GCC has no __try/__except, so the guard is a top-level exception
// filter installed for the length of the dispatch. It asks the system's
// UnhandledExceptionFilter for the decision that an __except filter would
// get; when that is to handle the fault, the flag is lowered and the process
// ends with the fault's code, as it would after the handler.
#pragma once

void installFaultGuard();
void removeFaultGuard();
