#include "lib/config/XmlParser.h"

#include "framework/FxString.h"
#include "lib/config/XmlFile.h"
#include "lib/config/XmlTree.h"

namespace {

const wchar_t kBlanks[] = L"\t\n ";  // carriage return is not among them

}  // namespace

void CXmlParser::Feed(const wchar_t* pUnits, size_t nCount) {
    size_t i = 0;
    while (i < nCount) {
        size_t nRun = i;
        while (nRun < nCount && pUnits[nRun] != L'<' && !(m_bInTag && pUnits[nRun] == L'>')) {
            ++nRun;
        }
        m_buffer.append(pUnits + i, nRun - i);
        if (nRun == nCount) break;
        if (pUnits[nRun] == L'<') {
            OnTagOpen();
        } else {
            OnTagClose();
        }
        i = nRun + 1;
    }
}

void CXmlParser::OnTagOpen() {
    // Also reached inside a tag: the unfinished tag text then counts as text.
    size_t nFirst = m_buffer.find_first_not_of(kBlanks);
    if (nFirst != std::wstring::npos && m_nSkipDepth == 0) {
        size_t nLast = m_buffer.find_last_not_of(kBlanks);
        CString strText(m_buffer.substr(nFirst, nLast - nFirst + 1));
        XML_File::UnmakeSaveString(strText);
        m_tree.AddValue(strText);
    }
    m_buffer.clear();
    if (m_buffer.capacity() > 65536) std::wstring().swap(m_buffer);
    m_bInTag = true;
}

void CXmlParser::OnTagClose() {
    if (!m_buffer.empty() && m_buffer[0] == L'/') {
        // The name in an end tag is not compared: any end tag closes the open element.
        if (m_nSkipDepth > 0) {
            --m_nSkipDepth;
        } else {
            m_tree.EndElement();
        }
    } else if (m_nSkipDepth > 0 || m_nElements >= kMaxElements) {
        ++m_nSkipDepth;
    } else {
        ++m_nElements;
        m_tree.AddElement(CString(m_buffer));
    }
    m_buffer.clear();
    if (m_buffer.capacity() > 65536) std::wstring().swap(m_buffer);
    m_bInTag = false;
}
