#include "lib/config/XmlFile.h"

#include <windows.h>

#include <new>
#include <string>
#include <utility>
#include <vector>

#include "lib/config/XmlParser.h"

namespace {

const size_t kChunkBytes = 64 * 1024;

// Turns bytes into little-endian code units for the parser. A byte that does not make a whole
// code unit at the very end is left over and ignored.
class CUnitFeeder {
public:
    explicit CUnitFeeder(CXmlParser& parser) : m_parser(parser) { m_units.reserve(kChunkBytes); }

    void Feed(const BYTE* pBytes, size_t nBytes) {
        m_units.clear();
        size_t i = 0;
        if (m_bHavePending && nBytes > 0) {
            m_units.push_back(static_cast<wchar_t>(m_nPending | (pBytes[0] << 8)));
            m_bHavePending = false;
            i = 1;
        }
        for (; i + 1 < nBytes; i += 2) {
            m_units.push_back(static_cast<wchar_t>(pBytes[i] | (pBytes[i + 1] << 8)));
        }
        if (i < nBytes) {
            m_nPending = pBytes[i];
            m_bHavePending = true;
        }
        m_parser.Feed(m_units.data(), m_units.size());
    }

private:
    CXmlParser& m_parser;
    std::vector<wchar_t> m_units;
    BYTE m_nPending = 0;
    bool m_bHavePending = false;
};

class CFileHandle {
public:
    explicit CFileHandle(HANDLE h) : m_h(h) {}
    ~CFileHandle() { Close(); }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    bool IsValid() const { return m_h != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_h; }
    bool Close() {
        bool bOk = true;
        if (m_h != INVALID_HANDLE_VALUE) bOk = ::CloseHandle(m_h) != FALSE;
        m_h = INVALID_HANDLE_VALUE;
        return bOk;
    }

private:
    HANDLE m_h;
};

// Collects the text and hands it to the file in large pieces, so that neither a long value nor
// a deep tree needs the whole file in memory.
class CFileSink {
public:
    explicit CFileSink(HANDLE hFile) : m_hFile(hFile) {}

    void Put(const wchar_t* psz, size_t nCount) {
        m_text.append(psz, nCount);
        if (m_text.size() >= kChunkBytes / 2) Flush();
    }
    void Put(const std::wstring& s) { Put(s.data(), s.size()); }
    void Put(wchar_t ch) { Put(&ch, 1); }

    bool Flush() {
        size_t nUnits = m_text.size();
        if (m_bOk && nUnits > 0) {
            m_bytes.resize(nUnits * 2);
            for (size_t i = 0; i < nUnits; ++i) {
                m_bytes[2 * i] = static_cast<BYTE>(m_text[i] & 0xFF);
                m_bytes[2 * i + 1] = static_cast<BYTE>(m_text[i] >> 8);
            }
            DWORD nWritten = 0;
            m_bOk = ::WriteFile(m_hFile, m_bytes.data(), static_cast<DWORD>(m_bytes.size()),
                                &nWritten, nullptr) &&
                    nWritten == m_bytes.size();
        }
        m_text.clear();
        return m_bOk;
    }
    bool IsOk() const { return m_bOk; }

private:
    HANDLE m_hFile;
    std::wstring m_text;
    std::vector<BYTE> m_bytes;
    bool m_bOk = true;
};

void WriteStartLine(CFileSink& sink, const std::wstring& strIndent, const XML_Node& node) {
    sink.Put(strIndent);
    sink.Put(L'<');
    sink.Put(node.GetName().str());
    sink.Put(L">\n", 2);
    CString strValue = node.GetValue();
    XML_File::MakeStorableValue(strValue);
    if (!strValue.IsEmpty()) {
        XML_File::MakeSaveString(strValue);
        sink.Put(strIndent);
        sink.Put(L' ');
        sink.Put(strValue.str());
        sink.Put(L'\n');
    }
}

void WriteEndLine(CFileSink& sink, const std::wstring& strIndent, const XML_Node& node) {
    sink.Put(strIndent);
    sink.Put(L"</", 2);
    sink.Put(node.GetName().str());
    sink.Put(L">\n", 2);
}

// The temporary file of a save is "<file>.<process id>-<serial>.tmp", so that a later save of the
// same file can tell the leftovers of a killed one from the file a running copy is writing.
CString MakeTempPath(const CString& strPath) {
    static LONG s_nSerial = 0;
    CString strTemp;
    strTemp.Format(L"%s.%lu-%ld.tmp", strPath.GetString(), ::GetCurrentProcessId(),
                   ::InterlockedIncrement(&s_nSerial));
    return strTemp;
}

// The process id in a temporary file's name, when the name (without folder) has exactly the
// form MakeTempPath gives to strFileName.
bool ParseTempName(const std::wstring& strName, const std::wstring& strFileName, DWORD& nPid) {
    const std::wstring strSuffix = L".tmp";
    if (strName.size() <= strFileName.size() + 1 + strSuffix.size() ||
        strName.compare(0, strFileName.size(), strFileName) != 0 ||
        strName[strFileName.size()] != L'.' ||
        strName.compare(strName.size() - strSuffix.size(), strSuffix.size(), strSuffix) != 0)
        return false;
    const std::wstring strMiddle = strName.substr(
        strFileName.size() + 1, strName.size() - strFileName.size() - 1 - strSuffix.size());
    const size_t nDash = strMiddle.find(L'-');
    if (nDash == 0 || nDash == std::wstring::npos || nDash + 1 == strMiddle.size()) return false;
    unsigned long long nValue = 0;
    for (size_t i = 0; i < strMiddle.size(); ++i) {
        if (i == nDash) continue;
        if (strMiddle[i] < L'0' || strMiddle[i] > L'9') return false;
        if (i < nDash) {
            nValue = nValue * 10 + static_cast<unsigned>(strMiddle[i] - L'0');
            if (nValue > 0xFFFFFFFFull) return false;
        }
    }
    nPid = static_cast<DWORD>(nValue);
    return true;
}

// True while another process with this id runs: its save may still be writing or about to move
// its file into place.
bool IsOtherRunningProcess(DWORD nPid) {
    if (nPid == ::GetCurrentProcessId()) return false;
    HANDLE hProcess = ::OpenProcess(SYNCHRONIZE, FALSE, nPid);
    if (!hProcess) return ::GetLastError() == ERROR_ACCESS_DENIED;
    const bool bRunning = ::WaitForSingleObject(hProcess, 0) == WAIT_TIMEOUT;
    ::CloseHandle(hProcess);
    return bRunning;
}

// Removes what killed saves of this file left behind. Our own earlier saves never leave one.
void RemoveStaleTempFiles(const CString& strPath) {
    const std::wstring& strFull = strPath.str();
    const size_t nSlash = strFull.find_last_of(L"\\/");
    const std::wstring strFolder =
        nSlash == std::wstring::npos ? L"" : strFull.substr(0, nSlash + 1);
    const std::wstring strFileName = strFull.substr(strFolder.size());
    if (strFileName.empty()) return;
    WIN32_FIND_DATAW data;
    HANDLE hFind = ::FindFirstFileW((strFull + L".*.tmp").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE) return;
    do {
        DWORD nPid = 0;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            ParseTempName(data.cFileName, strFileName, nPid) && !IsOtherRunningProcess(nPid)) {
            ::DeleteFileW((strFolder + data.cFileName).c_str());
        }
    } while (::FindNextFileW(hFind, &data));
    ::FindClose(hFind);
}

}  // namespace

bool XML_File::ReadXMLFile(XML_Tree& tree, const CString& strPath) {
    try {
        CFileHandle file(::CreateFileW(strPath, GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid()) return true;
        CXmlParser parser(tree);
        CUnitFeeder feeder(parser);
        std::vector<BYTE> chunk(kChunkBytes);
        for (;;) {
            DWORD nRead = 0;
            // A read error ends the file where it stands.
            if (!::ReadFile(file.Get(), chunk.data(), static_cast<DWORD>(chunk.size()), &nRead,
                            nullptr) ||
                nRead == 0) {
                break;
            }
            feeder.Feed(chunk.data(), nRead);
        }
    } catch (const std::exception&) {
        // Out of memory part-way: the tree keeps what was read so far.
    }
    return true;
}

bool XML_File::ReadXMLBuffer(XML_Tree& tree, const void* pData, size_t nBytes) {
    if (!pData) return true;
    try {
        CXmlParser parser(tree);
        CUnitFeeder feeder(parser);
        const BYTE* pBytes = static_cast<const BYTE*>(pData);
        for (size_t nDone = 0; nDone < nBytes;) {
            size_t nPiece = nBytes - nDone < kChunkBytes ? nBytes - nDone : kChunkBytes;
            feeder.Feed(pBytes + nDone, nPiece);
            nDone += nPiece;
        }
    } catch (const std::exception&) {
    }
    return true;
}

bool XML_File::WriteXMLFile(const XML_Tree& tree, const CString& strPath) {
    ReplaceXMLFile(tree, strPath);
    return true;
}

bool XML_File::ReplaceXMLFile(const XML_Tree& tree, const CString& strPath) {
    try {
        RemoveStaleTempFiles(strPath);
        CString strTemp = MakeTempPath(strPath);
        CFileHandle file(::CreateFileW(strTemp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid()) return false;

        bool bWritten = false;
        try {
            CFileSink sink(file.Get());
            if (const XML_Node* pRoot = tree.GetRoot()) {
                // The walk keeps its own stack of positions, so any depth is written without
                // recursion and without touching the nodes' cursors.
                std::wstring strIndent;
                std::vector<std::pair<const XML_Node*, size_t>> stack;
                WriteStartLine(sink, strIndent, *pRoot);
                stack.emplace_back(pRoot, 0);
                while (!stack.empty() && sink.IsOk()) {
                    const XML_Node* pNode = stack.back().first;
                    size_t nNext = stack.back().second;
                    if (nNext < pNode->m_children.size()) {
                        stack.back().second = nNext + 1;
                        const XML_Node* pChild = pNode->m_children[nNext];
                        strIndent.push_back(L' ');
                        WriteStartLine(sink, strIndent, *pChild);
                        stack.emplace_back(pChild, 0);
                    } else {
                        WriteEndLine(sink, strIndent, *pNode);
                        stack.pop_back();
                        if (!strIndent.empty()) strIndent.pop_back();
                    }
                }
            }
            bWritten = sink.Flush() && ::FlushFileBuffers(file.Get());
        } catch (const std::exception&) {
            bWritten = false;
        }
        bWritten = file.Close() && bWritten;

        // Only a complete file takes the place of the old one.
        if (bWritten &&
            ::MoveFileExW(strTemp, strPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        ::DeleteFileW(strTemp);
    } catch (const std::exception&) {
    }
    return false;
}

void XML_File::MakeSaveString(CString& str) { str.Replace(L"/", L"\\colon"); }

void XML_File::UnmakeSaveString(CString& str) { str.Replace(L"\\colon", L"/"); }

void XML_File::MakeStorableValue(CString& str) {
    // "<" would open a tag and shift every later element; ">" alone reads back as text.
    str.Remove(L'<');
    // The reader turns this text into a slash whatever it stood for, so store what it reads.
    UnmakeSaveString(str);
    // The reader strips these from both ends of a value.
    const wchar_t kBlanks[] = L"\t\n ";
    const std::wstring& s = str.str();
    const size_t nFirst = s.find_first_not_of(kBlanks);
    if (nFirst == std::wstring::npos) {
        str.Empty();
    } else {
        str = CString(s.substr(nFirst, s.find_last_not_of(kBlanks) - nFirst + 1));
    }
}
