// The update check and the installer download against a real HTTP server on 127.0.0.1.
#include <gtest/gtest.h>

#include "app/main/ProgramActions.h"
#include "app/update/Sha256.h"
#include "app/update/WebUpdate.h"
#include "tests/app/update/TestHttpServer.h"
#include "tests/app/update/UpdateTestSupport.h"

namespace {

const char kList[] = "/soft/pelto/update.txt";

// A check of the list served under /prefix on the server, into folder.
void PointAt(CWebUpdate& w, const CTestHttpServer& server, const std::string& prefix,
             const std::wstring& folder, const wchar_t* running = L"2.1.0.1") {
    w.SetLocalDir(folder.c_str(), FALSE);
    w.m_strListUrl = (server.Root(prefix) + L"/soft/pelto/update.txt").c_str();
    w.m_strBaseUrl = (server.Root(prefix) + L"/soft/pelto").c_str();
    w.m_strCurVersion = running;
}

std::string Sha256Hex(const std::string& bytes) {
    update::Sha256 sha;
    sha.Update(bytes.data(), bytes.size());
    return sha.FinishHex();
}

}  // namespace

TEST(WebUpdateTest, ReadsTheListFile) {
    CTestHttpServer server;
    ASSERT_TRUE(server.Running());
    struct Case {
        const char* list;
        const wchar_t* running;
        bool found;
        const wchar_t* notes;
    } const cases[] = {
        {"PeltoSetup.exe 2.1.0.2\r\nfirst line\r\nsecond line\r\n", L"2.1.0.1", true,
         L"first line\r\nsecond line\r\n"},
        {"PeltoSetup.exe 2.1.0.2\nfirst line\nsecond line", L"2.1.0.1", true,
         L"first line\r\nsecond line\r\n"},
        {"PeltoSetup.exe 2.1.0.1\r\nsame\r\n", L"2.1.0.1", false, L""},
        {"PeltoSetup.exe 2.0.9.9\r\n", L"2.1.0.0", false, L""},
        {"PeltoSetup.exe 3.0.0.0\r\n", L"2.9.9.9", true, L""},
        {"PeltoSetup.exe 2.1.0\r\n", L"2.1.0.1", false, L""},
        {"PeltoSetup.exe 2.1.0.2b\r\n", L"2.1.0.1", false, L""},
        {"PeltoSetup.exe\r\nno version\r\n", L"2.1.0.1", false, L""},
        {"", L"2.1.0.1", false, L""},
        {"..\\PeltoSetup.exe 2.1.0.2\r\n", L"2.1.0.1", false, L""},
        {"NUL.exe 2.1.0.2\r\n", L"2.1.0.1", false, L""},
        {"PeltoSetup.zip 2.1.0.2\r\n", L"2.1.0.1", false, L""},
    };
    int i = 0;
    for (const Case& c : cases) {
        CScratchFolder folder;
        std::string prefix = "list" + std::to_string(i++);
        server.Serve("/" + prefix + kList, {200, c.list, false});
        CWebUpdate w;
        PointAt(w, server, prefix, folder.Path(), c.running);
        EXPECT_EQ(c.found, w.CheckUpdate()) << c.list;
        if (c.found) {
            EXPECT_STREQ(c.notes, w.GetDescription()) << c.list;
            EXPECT_STREQ(L"PeltoSetup.exe", w.GetFileName());
        }
        EXPECT_EQ(1, server.Requests("/" + prefix + kList)) << c.list;
    }
}

TEST(WebUpdateTest, AnErrorStatusIsNoListFile) {
    CTestHttpServer server;
    ASSERT_TRUE(server.Running());
    // The error pages hold a valid offer: only the status can tell that they are not list files.
    for (int status : {404, 500, 403}) {
        CScratchFolder folder;
        std::string prefix = "status" + std::to_string(status);
        server.Serve("/" + prefix + kList, {status, "PeltoSetup.exe 9.0.0.0\r\n", false});
        CWebUpdate w;
        PointAt(w, server, prefix, folder.Path());
        EXPECT_FALSE(w.CheckUpdate()) << status;
        EXPECT_EQ(1, server.Requests("/" + prefix + kList)) << status;
        EXPECT_TRUE(folder.Files().empty()) << status << ": " << Narrow(folder.Files()[0]);
    }
}

TEST(WebUpdateTest, ARefusedConnectionFindsNothing) {
    CScratchFolder folder;
    CWebUpdate w;
    w.SetLocalDir(folder.Path().c_str(), FALSE);
    w.m_strListUrl = (CTestHttpServer::RefusedRoot() + L"/soft/pelto/update.txt").c_str();
    EXPECT_FALSE(w.CheckUpdate());
    EXPECT_TRUE(folder.Files().empty());
}

TEST(WebUpdateTest, TheStartUpCheckGivesUpOnAServerThatNeverAnswers) {
    CScratchFolder folder;
    CTestHttpServer server;
    ASSERT_TRUE(server.Running());
    server.Serve(std::string("/hang") + kList, {200, "", true});
    CScopedUpdateRoot root(server.Root("hang"));
    // Without a bound this would wait for as long as the server keeps the connection.
    EXPECT_FALSE(CheckForUpdateAtStart(folder.Path().c_str()));
    EXPECT_EQ(1, server.Requests(std::string("/hang") + kList));
}

TEST(WebUpdateTest, DownloadsTheInstallerOnlyWhenServedAndVerified) {
    CTestHttpServer server;
    ASSERT_TRUE(server.Running());
    const std::string installer = "MZ pretend installer " + std::string(5000, 'x');
    const std::string good = Sha256Hex(installer), bad = Sha256Hex(installer + "!");
    struct Case {
        int status;
        std::string hash;
        bool ok;
    } const cases[] = {{200, "", true},  {200, good, true},  {200, bad, false},
                       {404, "", false}, {500, good, false}, {404, good, false}};
    int i = 0;
    for (const Case& c : cases) {
        CScratchFolder folder;
        std::string prefix = "inst" + std::to_string(i++);
        std::string line = "PeltoSetup.exe 2.1.0.2" + (c.hash.empty() ? "" : " " + c.hash);
        server.Serve("/" + prefix + kList, {200, line + "\r\nnotes\r\n", false});
        server.Serve("/" + prefix + "/soft/pelto/PeltoSetup.exe", {c.status, installer, false});
        CWebUpdate w;
        PointAt(w, server, prefix, folder.Path());
        ASSERT_TRUE(w.CheckUpdate()) << i;
        EXPECT_EQ(c.ok, w.DownloadInstaller()) << i;
        std::vector<std::wstring> expected = {L"TempUpdate.txt"};
        if (c.ok) expected.insert(expected.begin(), L"PeltoSetup.exe");
        // No partial file and no temporary file stays behind.
        EXPECT_EQ(expected, folder.Files()) << i;
        std::string saved;
        if (c.ok) {
            ASSERT_TRUE(ReadWholeFile(folder.Path() + L"PeltoSetup.exe", &saved));
            EXPECT_EQ(installer, saved) << i;
        }
        EXPECT_EQ(!c.ok && c.status == 200 && !c.hash.empty(),
                  w.GetLastResult() == DownloadResult::Rejected)
            << i;
    }
}

TEST(WebUpdateTest, NamesOutsideTheFolderWriteNothing) {
    CTestHttpServer server;
    ASSERT_TRUE(server.Running());
    CScratchFolder outer;
    std::wstring inner = outer.Path() + L"program\\";
    ::CreateDirectoryW(inner.c_str(), nullptr);
    const char* names[] = {"..\\evil.exe", "../evil.exe", "C:evil.exe", "evil.exe:x.exe",
                           "CON.exe",      "com1.exe",    "sub\\x.exe", "evil.txt"};
    int i = 0;
    for (const char* name : names) {
        std::string prefix = "name" + std::to_string(i++);
        server.Serve("/" + prefix + kList, {200, std::string(name) + " 2.1.0.2\r\n", false});
        server.Serve("/" + prefix + "/soft/pelto/" + name, {200, "MZ", false});
        CWebUpdate w;
        PointAt(w, server, prefix, inner);
        EXPECT_FALSE(w.CheckUpdate()) << name;
        EXPECT_FALSE(w.DownloadInstaller()) << name;
        // Even a name put in by hand is refused by the download itself.
        w.m_strFileName = CString(std::wstring(name, name + strlen(name)));
        EXPECT_FALSE(w.DownloadInstaller()) << name;
    }
    EXPECT_EQ(std::vector<std::wstring>{L"program"}, outer.Files());
    EXPECT_EQ(std::vector<std::wstring>{L"TempUpdate.txt"}, FilesIn(inner));
}

TEST(WebUpdateTest, DownloadsPastTheirLimitLeaveNothing) {
    CTestHttpServer server;
    ASSERT_TRUE(server.Running());
    const std::string notes(20000, 'n');
    server.Serve(std::string("/big") + kList, {200, "PeltoSetup.exe 2.1.0.2\r\n" + notes, false});
    server.Serve("/big/soft/pelto/PeltoSetup.exe", {200, "MZ" + std::string(5000, 'x'), false});
    CScratchFolder folder;
    CWebUpdate w;
    PointAt(w, server, "big", folder.Path());
    w.m_nMaxListBytes = 10000;
    EXPECT_FALSE(w.CheckUpdate());
    EXPECT_TRUE(folder.Files().empty());
    w.m_nMaxListBytes = 30000;
    ASSERT_TRUE(w.CheckUpdate());
    w.m_nMaxInstallerBytes = 1000;
    EXPECT_FALSE(w.DownloadInstaller());
    EXPECT_EQ(std::vector<std::wstring>{L"TempUpdate.txt"}, folder.Files());
}
