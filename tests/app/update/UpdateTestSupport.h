// What the update tests share: a scratch folder, the server root in the environment, file readers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A fresh folder under the temporary folder (with a trailing backslash), removed with its files.
class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;
    const std::wstring& Path() const { return m_path; }
    // The names in the folder, sorted.
    std::vector<std::wstring> Files() const;

private:
    std::wstring m_path;
};

// PELTO_UPDATE_ROOT for the lifetime of the object.
class CScopedUpdateRoot {
public:
    explicit CScopedUpdateRoot(const std::wstring& root) {
        ::SetEnvironmentVariableW(L"PELTO_UPDATE_ROOT", root.c_str());
    }
    ~CScopedUpdateRoot() { ::SetEnvironmentVariableW(L"PELTO_UPDATE_ROOT", nullptr); }
};

std::vector<std::wstring> FilesIn(const std::wstring& folder);
bool ReadWholeFile(const std::wstring& path, std::string* pBytes);
// The folder of the test program, with a trailing backslash.
std::wstring TestProgramFolder();
std::string Narrow(const std::wstring& s);
