// Reading the saver's command line: the program name, the separators after
// it, the run-mode switch and the window-handle numbers that follow switches.
//
// Text is a NUL-terminated byte string in the system's ANSI code page. The
// program-name scanner moves through it with a CharStep: on Windows one step
// is CharNextA (a whole character, one or two bytes), elsewhere one byte. A
// step never moves past the terminating NUL. Nothing here reads beyond the
// NUL of its text.
#pragma once

#include <cstdint>

using CharStep = const char* (*)(const char* text);

// One byte forward, staying on the terminating NUL.
const char* nextByte(const char* text);

// The command tail: what follows the program name (a quoted name is skipped up
// to and over its closing quote; an unterminated quote swallows the rest) and
// the separators after it (every byte from 1 to 32, tabs included).
const char* skipProgramName(const char* commandLine, CharStep step);

// What the first switch letter of the tail asks for.
enum class RunMode {
    dialogWithoutOwner,  // empty tail: the configuration dialog, no owner
    dialog,              // 'c': the dialog owned by the handle after ':'
    fullScreen,          // 's'
    preview,             // 'p' or 'l' and a parent window handle
    changePassword,      // 'a' and an owner window handle
    unknown,             // any other byte before the switch: no mode, result -1
};

struct SaverCommand {
    RunMode mode = RunMode::unknown;
    // preview, changePassword: the text after the letter and its spaces.
    // dialog: the text after ':' when ':' follows the letter, else null.
    // Other modes: null.
    const char* argument = nullptr;
};

// Scans the tail one byte at a time: spaces, '-' and '/' are skipped, the first
// other byte decides. Only that first letter counts; '/s:42' is full-screen.
SaverCommand scanSaverSwitch(const char* tail);

// The decimal number at the start of text: digits '0' to '9' until the first
// other byte, no sign, no hexadecimal, wrapping modulo 2^32 like a 32-bit
// handle. Null text and text without digits give 0.
std::uint32_t parseHandleNumber(const char* text);

// The pointer-sized value of a window handle given as its 32 bits. Window
// handles carry 32 significant bits on 64-bit Windows too, and the system
// widens them with their sign, so a 64-bit program must do the same: 0x80001234
// becomes 0xFFFFFFFF80001234 there. On 32-bit Windows this is the number as is.
std::uintptr_t handleFromNumber(std::uint32_t number);
