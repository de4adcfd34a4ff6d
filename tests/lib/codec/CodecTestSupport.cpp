#include "tests/lib/codec/CodecTestSupport.h"

#include "lib/codec/GdiplusHeaders.h"

#include "framework/FxString.h"

std::vector<RawCodec> ReadRawCodecs(bool encoders) {
    UINT count = 0, bytes = 0;
    if (encoders)
        Gdiplus::GetImageEncodersSize(&count, &bytes);
    else
        Gdiplus::GetImageDecodersSize(&count, &bytes);
    std::vector<RawCodec> out;
    if (count == 0) return out;
    std::vector<unsigned char> buffer(bytes);
    auto* info = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (encoders)
        Gdiplus::GetImageEncoders(count, bytes, info);
    else
        Gdiplus::GetImageDecoders(count, bytes, info);
    for (UINT i = 0; i < count; ++i)
        out.push_back({info[i].FormatDescription, info[i].FilenameExtension, info[i].Clsid,
                       info[i].FormatID});
    return out;
}

std::string GuidText(const GUID& g) {
    wchar_t buf[64] = {};
    ::StringFromGUID2(g, buf, 64);
    return CString(buf).ToUtf8();
}

std::string Narrow(const std::wstring& s) { return CString(s).ToUtf8(); }
