// Carries out a command-line request: the console output, the capture without the main window,
// the file and the clipboard. Returns the process's exit code.
#pragma once

#include "app/main/CommandLine.h"

int RunCommandLine(const CommandLineRequest& request);
// The arguments of this process after the program's name.
std::vector<std::wstring> ProcessArguments();
