// Runs one command line through the command interpreter and waits for it,
// as _wsystem does, but without a console window: the setup programs start
// from the shell and show nothing.
#pragma once

#include <windows.h>

const size_t kShellCommandSize = 1024;

// The exit status is of no interest; the command's effect is checked by
// whoever needs it.
void RunShellCommand(const wchar_t* command);
