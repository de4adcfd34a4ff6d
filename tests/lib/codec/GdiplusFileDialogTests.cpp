// The open and save-as dialogs, shown for real and driven from a second thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "lib/codec/GdiplusFileDialog.h"
#include "lib/codec/GdiplusSession.h"
#include "tests/lib/codec/CodecTestSupport.h"
#include "tests/lib/codec/FileDialogDriver.h"

namespace {

const CLSID kClsidA = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
const CLSID kClsidB = {0xaaaaaaaa, 0xbbbb, 0xcccc, {8, 7, 6, 5, 4, 3, 2, 1}};

// A save dialog that records what its callbacks saw, and can run on hand-made encoders.
class CProbeSaveDialog : public CGdiplusFileSaveAsDialog {
public:
    CProbeSaveDialog() : CGdiplusFileSaveAsDialog(L"", 0x80002, nullptr) {}

    std::atomic<bool> initDone{false};
    std::atomic<int> typeChanges{0};
    std::atomic<int> nameChecks{0};
    std::atomic<int> refusals{0};
    std::atomic<int> fills{0};
    std::vector<CLSID> clsidAfterCallback;  // after init and after each type change
    std::vector<std::wstring> extensionsChecked;
    // Hand-made encoders instead of GDI+'s, and extra filter types beyond them.
    bool useFakes = false;
    std::vector<CGdiplusCodecInfo> fakes;
    CString extraTypes;

    size_t CodecCount() const { return m_arrCodecs.size(); }

protected:
    void FillCodecInfoArray() override {
        ++fills;
        if (!useFakes) return CGdiplusFileSaveAsDialog::FillCodecInfoArray();
        m_arrCodecs.clear();
        for (const auto& c : fakes) m_arrCodecs.push_back(std::make_unique<CGdiplusCodecInfo>(c));
    }
    void ConstructMFCStyleFilter() override {
        CGdiplusFileSaveAsDialog::ConstructMFCStyleFilter();
        if (extraTypes.IsEmpty()) return;
        // Insert the extra types before the empty field(s) that end the list.
        while (!m_strFilter.IsEmpty() && m_strFilter[m_strFilter.GetLength() - 1] == L'|')
            m_strFilter = m_strFilter.Left(m_strFilter.GetLength() - 1);
        m_strFilter += L"|" + extraTypes + L"|";
    }
    void OnInitDone() override {
        CGdiplusFileSaveAsDialog::OnInitDone();
        clsidAfterCallback.push_back(GetCodecCLSID());
        initDone = true;
    }
    void OnTypeChange() override {
        CGdiplusFileSaveAsDialog::OnTypeChange();
        clsidAfterCallback.push_back(GetCodecCLSID());
        ++typeChanges;
    }
    BOOL OnFileNameOK() override {
        extensionsChecked.push_back(GetFileExt().str());
        BOOL refuse = CGdiplusFileSaveAsDialog::OnFileNameOK();
        if (refuse) ++refusals;
        ++nameChecks;
        return refuse;
    }
};

class CProbeOpenDialog : public CGdiplusFileOpenDialog {
public:
    std::atomic<int> fills{0};

protected:
    void FillCodecInfoArray() override {
        ++fills;
        CGdiplusFileOpenDialog::FillCodecInfoArray();
    }
};

std::wstring TempFolder() {
    wchar_t buf[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, buf);
    std::wstring dir =
        std::wstring(buf) + L"pelto_codec_" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::string Join(const std::vector<std::string>& v) {
    std::string s;
    for (auto& e : v) s += e + "; ";
    return s;
}

class ImageFileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.IsStarted());
        encoders = ReadRawCodecs(true);
        ASSERT_GE(encoders.size(), 2u) << "the driven cases need two encoders";
        dir = TempFolder();
    }
    // The encoder whose patterns include the extension, as GDI+ lists them.
    int EncoderFor(const std::wstring& ext) {
        for (size_t i = 0; i < encoders.size(); ++i) {
            CGdiplusCodecInfo info(L"", encoders[i].extensions.c_str(), encoders[i].clsid);
            if (info.FindExtension(ext.c_str())) return static_cast<int>(i);
        }
        return -1;
    }
    std::wstring DefExt(size_t i) {
        return CGdiplusCodecInfo(L"", encoders[i].extensions.c_str(), encoders[i].clsid)
            .GetDefExt();
    }
    CGdiplusSession session;
    std::vector<RawCodec> encoders;
    std::wstring dir;
};

}  // namespace

TEST_F(ImageFileDialogTest, ChosenTypeGivesItsEncoderAndItsExtension) {
    CProbeSaveDialog dlg;
    std::wstring typed = dir + L"\\second";
    CFileDialogDriver driver([&](CFileDialogDriver& d) {
        if (!d.WaitFor([&] { return dlg.initDone.load(); })) return;
        d.ChooseType(2);
        d.TypeName(typed.c_str());
        d.PressOk();
    });
    INT_PTR r = dlg.DoModal();
    driver.Join();
    EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
    ASSERT_EQ(r, IDOK);
    EXPECT_EQ(dlg.GetPathName().str(), typed + L"." + DefExt(1));
    EXPECT_EQ(dlg.GetFileName().str(), L"second." + DefExt(1));
    EXPECT_TRUE(IsEqualGUID(dlg.GetCodecCLSID(), encoders[1].clsid))
        << "got " << GuidText(dlg.GetCodecCLSID()) << ", the second encoder is "
        << GuidText(encoders[1].clsid);
    ASSERT_EQ(dlg.clsidAfterCallback.size(), 2u) << "init and one type change";
    EXPECT_TRUE(IsEqualGUID(dlg.clsidAfterCallback[0], encoders[0].clsid))
        << "after start: " << GuidText(dlg.clsidAfterCallback[0]);
    EXPECT_TRUE(IsEqualGUID(dlg.clsidAfterCallback[1], encoders[1].clsid))
        << "after the type change: " << GuidText(dlg.clsidAfterCallback[1]);
    EXPECT_EQ(dlg.CodecCount(), 0u) << "the codec records outlived the dialog";
}

TEST_F(ImageFileDialogTest, TypedExtensionWinsAndAnUnknownOneKeepsTheDialogOpen) {
    int png = EncoderFor(L"png");
    ASSERT_GE(png, 0) << "no PNG encoder";
    CProbeSaveDialog dlg;
    std::wstring unknown = dir + L"\\odd.xyz", known = dir + L"\\pic.PNG";
    bool openAfterUnknown = false;
    CFileDialogDriver driver([&](CFileDialogDriver& d) {
        if (!d.WaitFor([&] { return dlg.initDone.load(); })) return;
        d.TypeName(unknown.c_str());
        d.PressOk();
        openAfterUnknown = d.IsOpen();
        d.TypeName(known.c_str());
        d.PressOk();
    });
    INT_PTR r = dlg.DoModal();
    driver.Join();
    EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
    EXPECT_TRUE(openAfterUnknown);
    ASSERT_EQ(r, IDOK);
    EXPECT_EQ(dlg.refusals.load(), 1);
    EXPECT_EQ(dlg.extensionsChecked, std::vector<std::wstring>({L"xyz", L"PNG"}));
    EXPECT_EQ(dlg.GetPathName().str(), known) << "nothing may be appended to a known extension";
    EXPECT_TRUE(IsEqualGUID(dlg.GetCodecCLSID(), encoders[png].clsid))
        << "type 1 was chosen, the name says PNG; got " << GuidText(dlg.GetCodecCLSID());
}

// A '.' in a folder name is no extension: the name is saved with the chosen type.
TEST_F(ImageFileDialogTest, FolderWithADotAndNoExtensionUsesTheChosenType) {
    std::wstring folder = dir + L"\\my.pics";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    CProbeSaveDialog dlg;
    std::wstring typed = folder + L"\\shot";
    CFileDialogDriver driver([&](CFileDialogDriver& d) {
        if (!d.WaitFor([&] { return dlg.initDone.load(); })) return;
        d.TypeName(typed.c_str());
        d.PressOk();
    });
    INT_PTR r = dlg.DoModal();
    driver.Join();
    EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
    ASSERT_EQ(r, IDOK) << "the name was refused";
    EXPECT_EQ(dlg.extensionsChecked, std::vector<std::wstring>({L""}));
    EXPECT_EQ(dlg.GetPathName().str(), typed + L"." + DefExt(0));
    EXPECT_TRUE(IsEqualGUID(dlg.GetCodecCLSID(), encoders[0].clsid));
}

TEST_F(ImageFileDialogTest, CancelLeavesNoPath) {
    CProbeSaveDialog dlg;
    CFileDialogDriver driver([&](CFileDialogDriver& d) {
        if (!d.WaitFor([&] { return dlg.initDone.load(); })) return;
        d.TypeName((dir + L"\\never").c_str());
        d.PressCancel();
    });
    INT_PTR r = dlg.DoModal();
    driver.Join();
    EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_TRUE(dlg.GetPathName().IsEmpty()) << dlg.GetPathName().ToUtf8();
    EXPECT_EQ(dlg.nameChecks.load(), 0);
    EXPECT_EQ(dlg.CodecCount(), 0u);
}

// With no encoder, or a chosen type that names none, nothing could write the file.
TEST_F(ImageFileDialogTest, EveryNameIsRefusedWhenTheTypeNamesNoEncoder) {
    struct Case {
        const char* name;
        std::vector<CGdiplusCodecInfo> fakes;
        const wchar_t* extraTypes;
        int type;
    };
    std::vector<Case> cases = {
        {"no encoders", {}, L"", 1},
        {"type beyond the encoders",
         {CGdiplusCodecInfo(L"A", L"*.a1;*.a2", kClsidA), CGdiplusCodecInfo(L"B", L"*.b", kClsidB)},
         L"Z 文件(*.z)|*.z|",
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CProbeSaveDialog dlg;
        dlg.useFakes = true;
        dlg.fakes = c.fakes;
        dlg.extraTypes = c.extraTypes;
        bool stillOpen = false;
        CFileDialogDriver driver([&](CFileDialogDriver& d) {
            if (!d.WaitFor([&] { return dlg.initDone.load(); })) return;
            if (c.type > 1) d.ChooseType(c.type);
            for (const wchar_t* name : {L"\\plain", L"\\known.b", L"\\pic.png"}) {
                d.TypeName((dir + name).c_str());
                d.PressOk();
            }
            stillOpen = d.IsOpen();
            d.PressCancel();
        });
        INT_PTR r = dlg.DoModal();
        driver.Join();
        EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
        EXPECT_EQ(r, IDCANCEL);
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(dlg.refusals.load(), 3) << "names checked: " << dlg.nameChecks.load();
    }
}

TEST_F(ImageFileDialogTest, HandMadeEncodersSecondTypeAppendsItsExtension) {
    CProbeSaveDialog dlg;
    dlg.useFakes = true;
    dlg.fakes = {CGdiplusCodecInfo(L"A", L"*.A1;*.a2", kClsidA),
                 CGdiplusCodecInfo(L"B", L"*.B", kClsidB)};
    int types = -1;
    std::wstring first, typed = dir + L"\\handmade";
    CFileDialogDriver driver([&](CFileDialogDriver& d) {
        if (!d.WaitFor([&] { return dlg.initDone.load(); })) return;
        types = d.TypeCount();
        first = d.TypeText(1);
        d.ChooseType(2);
        d.TypeName(typed.c_str());
        d.PressOk();
    });
    INT_PTR r = dlg.DoModal();
    driver.Join();
    EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
    EXPECT_EQ(types, 2);
    EXPECT_EQ(first, L"A 文件(*.a1;*.a2)");
    ASSERT_EQ(r, IDOK);
    EXPECT_EQ(dlg.GetPathName().str(), typed + L".b");
    EXPECT_TRUE(IsEqualGUID(dlg.GetCodecCLSID(), kClsidB)) << GuidText(dlg.GetCodecCLSID());
}

TEST_F(ImageFileDialogTest, OpenDialogOffersEveryDecoderAndReturnsThePath) {
    std::vector<RawCodec> decoders = ReadRawCodecs(false);
    std::wstring existing = dir + L"\\exists.png";
    HANDLE h =
        ::CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
    CProbeOpenDialog dlg;
    int types = -1;
    std::wstring first, second;
    CFileDialogDriver driver([&](CFileDialogDriver& d) {
        if (!d.Dialog()) return;
        types = d.TypeCount();
        first = d.TypeText(1);
        second = d.TypeText(2);
        d.TypeName(existing.c_str());
        d.PressOk();
    });
    INT_PTR r = dlg.DoModal();
    driver.Join();
    EXPECT_TRUE(driver.Errors().empty()) << Join(driver.Errors());
    EXPECT_EQ(types, static_cast<int>(decoders.size()) + 1);
    EXPECT_EQ(first, L"所有支持的图像文件");
    CGdiplusCodecInfo firstDecoder(decoders[0].format.c_str(), decoders[0].extensions.c_str(),
                                   decoders[0].clsid);
    EXPECT_EQ(second, firstDecoder.GetFormat().str() + L" 文件(" +
                          firstDecoder.GetExtensions().str() + L")");
    ASSERT_EQ(r, IDOK);
    EXPECT_EQ(dlg.GetPathName().str(), existing);
    EXPECT_EQ(dlg.GetFileName(), L"exists.png");
    ::DeleteFileW(existing.c_str());
}

TEST(DialogsWithoutGdiplus, ReturnCancelAtOnceWithoutShowing) {
    ASSERT_FALSE(CGdiplusSession::IsRunning());
    CProbeSaveDialog save;
    CProbeOpenDialog open;
    // Looks for a dialog for as long as the calls run; one that comes up after all is ended, so
    // that the test fails instead of hanging.
    std::atomic<bool> bReturned{false}, bShown{false};
    CFileDialogDriver driver([&](CFileDialogDriver& d) {
        while (!bReturned) {
            if (d.Appears(std::chrono::milliseconds(20))) {
                bShown = true;
                d.PressCancel();
            }
        }
    });
    EXPECT_EQ(save.DoModal(), IDCANCEL);
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    bReturned = true;
    driver.Join();
    EXPECT_EQ(save.fills.load(), 0) << "the save dialog asked GDI+ for its codecs";
    EXPECT_EQ(open.fills.load(), 0) << "the open dialog asked GDI+ for its codecs";
    EXPECT_FALSE(bShown) << "a dialog showed";
    EXPECT_TRUE(save.GetPathName().IsEmpty());
}
