// Helpers shared by the codec tests: GDI+'s own codec descriptions, read directly, to compare the
// library's records with, and GUID printing for failure messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct RawCodec {
    std::wstring format;
    std::wstring extensions;  // as GDI+ gives them
    CLSID clsid;
    GUID formatId;
};

// GDI+ must be running.
std::vector<RawCodec> ReadRawCodecs(bool encoders);
std::string GuidText(const GUID& g);
std::string Narrow(const std::wstring& s);
