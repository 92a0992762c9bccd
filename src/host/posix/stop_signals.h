// The signals that ask the program to end (SIGTERM, SIGINT, SIGHUP), and
// ending the process by that signal. A parent (a screen-saver daemon, a
// shell) then sees death by that signal, as it would for a program that did
// not catch it, rather than a normal exit that hides why the program
// stopped.
//
// A stop signal is caught wherever the program is: its handler notes the
// signal, wakes the host's wait through a descriptor the host polls beside
// its display connection, and arms a watchdog. The host then ends as usual
// (releasing its scene, context and display) and calls endBySignal. A host
// held where it cannot notice (inside a display library waiting for a
// server that does not answer) is ended by the watchdog instead, by the same
// signal, stopGraceMilliseconds after the signal came, without the release.
// The watchdog's signal (SIGALRM) with no stop signal before it ends
// nothing.
#pragma once

// How long a host has to end by itself after a stop signal.
constexpr long stopGraceMilliseconds = 750;

// Installs the handler for the ending signals and lets them through the
// signal mask, whatever the parent left blocked.
void takeStopSignals();

// The signal that asked the program to end, 0 while none has.
int stopSignalled();

// After a stop signal: the watchdog ends the process milliseconds from now
// instead, for a program that first waits, bounded, for a child to end.
void extendStopGrace(long milliseconds);

// Becomes readable once a stop signal has come; a host polls it while it
// waits. Valid after takeStopSignals.
int stopSignalWakeDescriptor();

// Restores the signal's default action, lets it through the signal mask and
// raises it again. Does not return; if the signal should not end the process
// after all, the process exits with 128 + signalNumber, the status a shell
// reports for death by that signal. Safe in a signal handler.
[[noreturn]] void endBySignal(int signalNumber);
