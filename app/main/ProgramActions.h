// What the main window asks of the program's other parts: the dialogs it runs and the command line
// it hands to the image editor.
#pragma once

#include <string>

#include "framework/FxString.h"

class CPeltoDlg;

// The start-up update check against the update server; true when a newer version is offered.
BOOL CheckForUpdateAtStart(const CString& strProgramFolder);

// The options sheet with everything around it: the hot keys released while it is open, the
// settings written back when confirmed, the hot keys registered again and the preview refreshed.
void RunOptionsSheet(CPeltoDlg& dlg);
// The update dialog (only called when the start-up check found a newer version).
void RunUpdateDialog();
void RunAboutBox();

// How the edit command starts the editor: with an editor configured, the editor with the image's
// path (quoted, so that blanks stay inside one argument); without one, the image itself, which
// the shell opens with its associated program. An empty file means there is nothing to start.
// The working folder is the image's folder, taken from the path itself: after a save to a given
// path the engine holds no file name to take off it.
struct EditImageCommand {
    std::wstring file;
    std::wstring parameters;
    std::wstring folder;
};
EditImageCommand MakeEditImageCommand(const std::wstring& editor, const std::wstring& imagePath);
