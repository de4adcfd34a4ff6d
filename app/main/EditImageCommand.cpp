#include "app/main/ProgramActions.h"

EditImageCommand MakeEditImageCommand(const std::wstring& editor, const std::wstring& imagePath) {
    EditImageCommand cmd;
    const size_t nSeparator = imagePath.find_last_of(L"\\/");
    if (nSeparator != std::wstring::npos) cmd.folder = imagePath.substr(0, nSeparator + 1);
    if (!editor.empty()) {
        cmd.file = editor;
        if (!imagePath.empty()) cmd.parameters = L"\"" + imagePath + L"\"";
    } else {
        cmd.file = imagePath;
    }
    return cmd;
}
