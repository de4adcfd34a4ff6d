// The update server's list file and the rules the program applies to it: line 1 names the
// installer, its version and (in newer lists) the installer's SHA-256; versions are compared
// component by component. No Windows header: the rules are tested natively too.
#pragma once

#include <string>
#include <vector>

namespace update {

// Line 1 of the list file: "name version [sha256]".
struct ListHead {
    std::wstring fileName;
    std::wstring version;
    std::wstring sha256;  // empty in older list files
};

// False when the name or the version is missing. A third field of 64 hexadecimal digits is the
// installer's SHA-256; any other text after the version is ignored.
bool ParseListHead(const std::wstring& line, ListHead* pHead);

// The parts of a version between its dots, empty parts skipped ("2..1.0.1" gives four parts).
std::vector<std::wstring> SplitVersion(const std::wstring& version);

// True when the offered version is newer than the running one; both must have four parts, and
// the first component that differs decides as long as every component up to it is all digits.
bool IsNewerVersion(const std::wstring& offered, const std::wstring& running);

// The installer is written next to the program under this name and then started, so only a plain
// file name of an executable qualifies: no folder, drive, stream, device name or control character.
bool IsSafeInstallerName(const std::wstring& name);

// Splits a file's bytes into lines without their CR LF or LF; a final line end adds no empty line.
std::vector<std::string> SplitLines(const std::string& bytes);

// The download's percentage, truncated; a report without a maximum shows 0.
int ProgressPercent(unsigned long progress, unsigned long maximum);

}  // namespace update
