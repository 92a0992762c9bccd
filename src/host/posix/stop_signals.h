// The signals that ask the program to end (SIGTERM, SIGINT, SIGHUP), and
// ending the process by that signal once it has cleaned up. A parent (a
// screen-saver daemon, a shell) then sees death by that signal, as it would
// for a program that did not catch it, rather than a normal exit that hides
// why the program stopped.
#pragma once

#include <signal.h>

// Blocks the ending signals for the whole process (threads started later,
// the GL driver's among them, inherit the mask) and installs their handler.
// Answers the mask to wait with, which lets them through.
sigset_t takeStopSignals();

// The signal that asked the program to end, 0 while none has.
int stopSignalled();

// Restores the signal's default action, lets it through the signal mask and
// raises it again. Does not return; if the signal should not end the process
// after all, the process exits with 128 + signalNumber, the status a shell
// reports for death by that signal.
[[noreturn]] void endBySignal(int signalNumber);
