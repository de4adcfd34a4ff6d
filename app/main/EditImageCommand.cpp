#include "app/main/ProgramActions.h"

EditImageCommand MakeEditImageCommand(const std::wstring& editor, const std::wstring& imagePath,
                                      const std::wstring& folder) {
    EditImageCommand cmd;
    cmd.folder = folder;
    if (!editor.empty()) {
        cmd.file = editor;
        if (!imagePath.empty()) cmd.parameters = L"\"" + imagePath + L"\"";
    } else {
        cmd.file = imagePath;
    }
    return cmd;
}
