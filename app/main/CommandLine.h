// The program's command line: capture without the main window and write the result to a file or
// the clipboard. Parsing is plain C++ so that it is tested natively too.
#pragma once

#include <string>
#include <vector>

enum class CommandAction { RunProgram, Help, Version, Capture, Error };

enum class CaptureTarget { Full, Rect, Window, Current, Active, Client, Object, Region };

struct CommandLineRequest {
    CommandAction action = CommandAction::RunProgram;
    CaptureTarget target = CaptureTarget::Full;
    int x = 0, y = 0, cx = 0, cy = 0;  // rect:X,Y,W,H
    std::wstring title;                // window:TITLE
    std::wstring outFile;              // --out, empty for none
    bool clipboard = false;
    bool effects = true;
    int delayMs = -1;    // --delay, -1 for the configured delay
    std::wstring error;  // the one-line message of an Error
};

// args are the arguments after the program's name.
CommandLineRequest ParseCommandLine(const std::vector<std::wstring>& args);

// The exit codes of a command-line run.
constexpr int kExitCaptured = 0;
constexpr int kExitNothingCaptured = 1;
constexpr int kExitBadArguments = 2;

extern const wchar_t kCommandLineUsage[];
extern const wchar_t kProgramVersion[];
