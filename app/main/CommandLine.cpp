#include "app/main/CommandLine.h"

#include <cerrno>
#include <cstdlib>
#include <cwchar>

#include "app/res/Version.h"

const wchar_t kProgramVersion[] = L"" PELTO_VERSION_TEXT;

const wchar_t kCommandLineUsage[] =
    L"usage: pelto.exe [--capture MODE [--out FILE] [--clipboard] [--delay MS] [--no-effects]]\n"
    L"       pelto.exe --help | --version\n"
    L"MODE:  full                whole primary screen\n"
    L"       rect:X,Y,W,H        that rectangle in screen pixels (clipped to the screen)\n"
    L"       window:TITLE        first program window whose title contains TITLE\n"
    L"       current | active | client | object | region   the interactive modes\n"
    L"--out FILE    write the picture; the extension picks the format (.png, .bmp, .jpg, ...)\n"
    L"--clipboard   put the picture on the clipboard\n"
    L"--delay MS    wait before capturing (0 to 15000)\n"
    L"--no-effects  leave the configured effects off\n"
    L"Exit code: 0 captured, 1 nothing captured, 2 bad arguments or file not written.\n";

namespace {

// Coordinates beyond this are no desktop's.
constexpr long kMaxCoordinate = 1000000;
constexpr long kMaxDelay = 15000;

bool ParseLong(const std::wstring& s, long lo, long hi, long* pValue) {
    if (s.empty()) return false;
    const wchar_t* begin = s.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    long v = std::wcstol(begin, &end, 10);
    if (errno != 0 || end == begin || *end != 0 || v < lo || v > hi) return false;
    // Only ASCII digits and one leading sign: other scripts' digits are no number here.
    for (const wchar_t* p = begin; *p; ++p)
        if (!((*p >= L'0' && *p <= L'9') || (p == begin && (*p == L'-' || *p == L'+'))))
            return false;
    *pValue = v;
    return true;
}

CommandLineRequest Fail(std::wstring message) {
    CommandLineRequest r;
    r.action = CommandAction::Error;
    r.error = std::move(message);
    return r;
}

bool ParseRect(const std::wstring& text, CommandLineRequest& r) {
    long v[4] = {};
    size_t pos = 0;
    for (int i = 0; i < 4; ++i) {
        size_t comma = i < 3 ? text.find(L',', pos) : text.size();
        if (comma == std::wstring::npos) return false;
        if (!ParseLong(text.substr(pos, comma - pos), -kMaxCoordinate, kMaxCoordinate, &v[i]))
            return false;
        pos = comma + 1;
    }
    if (v[2] <= 0 || v[3] <= 0) return false;
    r.x = static_cast<int>(v[0]);
    r.y = static_cast<int>(v[1]);
    r.cx = static_cast<int>(v[2]);
    r.cy = static_cast<int>(v[3]);
    return true;
}

bool ParseMode(const std::wstring& mode, CommandLineRequest& r) {
    static const struct {
        const wchar_t* name;
        CaptureTarget target;
    } kPlain[] = {{L"full", CaptureTarget::Full},     {L"current", CaptureTarget::Current},
                  {L"active", CaptureTarget::Active}, {L"client", CaptureTarget::Client},
                  {L"object", CaptureTarget::Object}, {L"region", CaptureTarget::Region}};
    for (const auto& m : kPlain) {
        if (mode == m.name) {
            r.target = m.target;
            return true;
        }
    }
    if (mode.compare(0, 5, L"rect:") == 0) {
        r.target = CaptureTarget::Rect;
        return ParseRect(mode.substr(5), r);
    }
    if (mode.compare(0, 7, L"window:") == 0 && mode.size() > 7) {
        r.target = CaptureTarget::Window;
        r.title = mode.substr(7);
        return true;
    }
    return false;
}

}  // namespace

CommandLineRequest ParseCommandLine(const std::vector<std::wstring>& args) {
    CommandLineRequest r;
    if (args.empty()) return r;
    bool haveCapture = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        bool hasValue = i + 1 < args.size();
        if (a == L"--help" || a == L"-h" || a == L"/?") {
            CommandLineRequest help;
            help.action = CommandAction::Help;
            return help;
        }
        if (a == L"--version") {
            CommandLineRequest version;
            version.action = CommandAction::Version;
            return version;
        }
        if (a == L"--capture") {
            if (!hasValue) return Fail(L"--capture needs a mode (see --help)");
            if (!ParseMode(args[++i], r))
                return Fail(L"unknown or malformed capture mode: " + args[i]);
            haveCapture = true;
        } else if (a == L"--out") {
            if (!hasValue || args[i + 1].empty()) return Fail(L"--out needs a file name");
            r.outFile = args[++i];
        } else if (a == L"--delay") {
            long ms = 0;
            if (!hasValue || !ParseLong(args[i + 1], 0, kMaxDelay, &ms))
                return Fail(L"--delay needs milliseconds from 0 to 15000");
            r.delayMs = static_cast<int>(ms);
            ++i;
        } else if (a == L"--clipboard") {
            r.clipboard = true;
        } else if (a == L"--no-effects") {
            r.effects = false;
        } else {
            return Fail(L"unknown argument: " + a);
        }
    }
    if (!haveCapture) return Fail(L"--capture MODE is missing (see --help)");
    r.action = CommandAction::Capture;
    return r;
}
