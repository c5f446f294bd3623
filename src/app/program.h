#pragma once
// The program's start: the single-instance lock, the application's title, the
// twelve windows created once in their order, the message loop and the box
// for an exception that escapes it.
#include "platform/rtl/ansistring.h"

enum class TInstanceCheck {
    Run,            // first instance, or a second one asked for with "task"
    AlreadyRunning, // end at once with exit code 0
    LockFailed,     // the lock could not be made at all: Reason says why
};

// Takes the lock named "PREVINST: " + WindowText for the rest of the process.
TInstanceCheck CheckSingleInstance(const AnsiString& WindowText, AnsiString& Reason);
// Creates the windows in their order; the first becomes the main window.
void CreateProgramWindows();
// Frees them again, last first (tests that build the program more than once).
void FreeProgramWindows();
// The whole entry; returns the exit code.
int RunProgram();
