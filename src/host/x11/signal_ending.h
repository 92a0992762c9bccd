// Ending the process by the signal that asked it to end, once it has cleaned
// up. A parent (a screen-saver daemon, a shell) then sees death by that
// signal, as it would for a program that did not catch it, rather than a
// normal exit that hides why the program stopped.
#pragma once

// Restores the signal's default action, lets it through the signal mask and
// raises it again. Does not return; if the signal should not end the process
// after all, the process exits with 128 + signalNumber, the status a shell
// reports for death by that signal.
[[noreturn]] void endBySignal(int signalNumber);
