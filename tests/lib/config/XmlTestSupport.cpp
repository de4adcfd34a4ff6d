#include "tests/lib/config/XmlTestSupport.h"

#include <utility>
#include <vector>

#include "lib/config/XmlFile.h"
#include "tests/lib/config/ConfigTestSupport.h"

namespace config_test {

namespace {

// The children through the public walk (which moves the node's cursor; nothing in the tests
// relies on it afterwards).
std::vector<XML_Node*> Children(XML_Node* pNode) {
    std::vector<XML_Node*> children;
    for (XML_Node* p = pNode->GetFirstSubItem(); p; p = pNode->GetNextSubItem()) {
        children.push_back(p);
    }
    return children;
}

std::string Field(char tag, const CString& text) {
    std::string utf8 = text.ToUtf8();
    return tag + std::to_string(utf8.size()) + ":" + utf8;
}

}  // namespace

std::string Dump(const XML_Tree& tree) {
    std::string out;
    if (!tree.GetRoot()) return "<empty>";
    // Explicit stack: some trees in the tests are deeper than a comfortable recursion.
    std::vector<std::pair<std::vector<XML_Node*>, size_t>> stack;
    XML_Node* pRoot = tree.GetRoot();
    out += Field('N', pRoot->GetName()) + Field('V', pRoot->GetValue()) + "[";
    stack.emplace_back(Children(pRoot), 0);
    while (!stack.empty()) {
        auto& top = stack.back();
        if (top.second < top.first.size()) {
            XML_Node* pNode = top.first[top.second++];
            out += Field('N', pNode->GetName()) + Field('V', pNode->GetValue()) + "[";
            stack.emplace_back(Children(pNode), 0);
        } else {
            out += "]";
            stack.pop_back();
        }
    }
    return out;
}

void ReferenceParse(const std::wstring& units, XML_Tree& tree) {
    std::wstring buffer;
    bool bInTag = false;
    for (wchar_t ch : units) {
        if (ch == L'<') {
            size_t nFirst = 0;
            size_t nEnd = buffer.size();
            auto blank = [](wchar_t c) { return c == L'\t' || c == L'\n' || c == L' '; };
            while (nFirst < nEnd && blank(buffer[nFirst])) ++nFirst;
            while (nEnd > nFirst && blank(buffer[nEnd - 1])) --nEnd;
            if (nEnd > nFirst) {
                CString text(buffer.substr(nFirst, nEnd - nFirst));
                text.Replace(L"\\colon", L"/");
                tree.AddValue(text);
            }
            buffer.clear();
            bInTag = true;
        } else if (ch == L'>' && bInTag) {
            if (!buffer.empty() && buffer[0] == L'/') {
                tree.EndElement();
            } else {
                tree.AddElement(CString(buffer));
            }
            buffer.clear();
            bInTag = false;
        } else {
            buffer.push_back(ch);
        }
    }
}

void ParseText(const std::wstring& text, XML_Tree& tree) {
    std::string bytes = Utf16(text);
    XML_File::ReadXMLBuffer(tree, bytes.data(), bytes.size());
}

std::string WrittenBytes(const XML_Tree& tree) {
    CTempFolder folder;
    CString strPath = folder.File(L"tree.xml");
    XML_File::WriteXMLFile(tree, strPath);
    return ReadBytes(strPath);
}

}  // namespace config_test
