#include "app/update/UpdateList.h"

#include <algorithm>
#include <cwchar>

namespace update {
namespace {

bool AllDigits(const std::wstring& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

bool IsHex(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// Compares two digit strings as numbers of any length: no overflow on absurd components.
int CompareNumbers(const std::wstring& a, const std::wstring& b) {
    size_t ia = a.find_first_not_of(L'0'), ib = b.find_first_not_of(L'0');
    std::wstring na = ia == std::wstring::npos ? L"" : a.substr(ia);
    std::wstring nb = ib == std::wstring::npos ? L"" : b.substr(ib);
    if (na.size() != nb.size()) return na.size() < nb.size() ? -1 : 1;
    return na.compare(nb) < 0 ? -1 : (na == nb ? 0 : 1);
}

std::wstring Upper(std::wstring s) {
    for (wchar_t& c : s)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return s;
}

bool IsDeviceName(const std::wstring& name) {
    // The platform treats these as devices whatever extension follows them.
    std::wstring base = Upper(name.substr(0, name.find(L'.')));
    while (!base.empty() && (base.back() == L' ')) base.pop_back();
    static const wchar_t* const kFixed[] = {L"CON",    L"PRN",     L"AUX",   L"NUL",
                                            L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (const wchar_t* d : kFixed)
        if (base == d) return true;
    if (base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0)) {
        wchar_t n = base[3];
        return (n >= L'0' && n <= L'9') || n == 0x00B9 || n == 0x00B2 || n == 0x00B3;
    }
    return false;
}

}  // namespace

bool ParseListHead(const std::wstring& line, ListHead* pHead) {
    size_t first = line.find(L' ');
    if (first == std::wstring::npos) return false;
    size_t second = line.find(L' ', first + 1);
    std::wstring name = line.substr(0, first);
    std::wstring version = line.substr(
        first + 1, second == std::wstring::npos ? std::wstring::npos : second - first - 1);
    if (name.empty() || version.empty()) return false;
    std::wstring hash;
    if (second != std::wstring::npos) {
        size_t third = line.find(L' ', second + 1);
        hash = line.substr(second + 1,
                           third == std::wstring::npos ? std::wstring::npos : third - second - 1);
        // Lists may carry free text after the version: only 64 hexadecimal digits are the
        // installer's SHA-256.
        if (hash.size() != 64 || !std::all_of(hash.begin(), hash.end(), IsHex)) hash.clear();
    }
    pHead->fileName = name;
    pHead->version = version;
    pHead->sha256 = hash;
    return true;
}

std::vector<std::wstring> SplitVersion(const std::wstring& version) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= version.size()) {
        size_t dot = version.find(L'.', start);
        if (dot == std::wstring::npos) dot = version.size();
        if (dot > start) parts.push_back(version.substr(start, dot - start));
        start = dot + 1;
    }
    return parts;
}

bool IsNewerVersion(const std::wstring& offered, const std::wstring& running) {
    std::vector<std::wstring> a = SplitVersion(offered), b = SplitVersion(running);
    if (a.size() != 4 || b.size() != 4) return false;
    for (size_t i = 0; i < 4; ++i) {
        if (!AllDigits(a[i]) || !AllDigits(b[i])) return false;
        int c = CompareNumbers(a[i], b[i]);
        if (c != 0) return c > 0;
    }
    return false;
}

bool IsSafeInstallerName(const std::wstring& name) {
    if (name.size() < 5 || name.size() > 200) return false;
    for (wchar_t c : name) {
        if (c < 0x20 || c == 0x7F) return false;
        if (std::wcschr(L"\\/:*?\"<>|", c)) return false;
    }
    if (name.find(L"..") != std::wstring::npos) return false;
    if (Upper(name.substr(name.size() - 4)) != L".EXE") return false;
    if (name[0] == L' ' || name[0] == L'.') return false;
    return !IsDeviceName(name);
}

std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t lf = bytes.find('\n', start);
        size_t end = lf == std::string::npos ? bytes.size() : lf;
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

int ProgressPercent(unsigned long progress, unsigned long maximum) {
    if (maximum == 0) return 0;
    double percent = static_cast<double>(progress) * 100.0 / static_cast<double>(maximum);
    if (percent > 100.0) percent = 100.0;
    return static_cast<int>(percent);
}

}  // namespace update
