// The reader of the element-tree text, fed with code units in pieces of any size.
#pragma once

#include <stddef.h>

#include <string>

class XML_Tree;

class CXmlParser {
public:
    // A crafted file could otherwise turn each few bytes into a node of a hundred; a real
    // configuration has about fifty elements.
    static constexpr size_t kMaxElements = 1u << 18;

    explicit CXmlParser(XML_Tree& tree) : m_tree(tree) {}
    CXmlParser(const CXmlParser&) = delete;
    CXmlParser& operator=(const CXmlParser&) = delete;

    // Text after the last tag and an unfinished tag are simply never handed to the tree.
    void Feed(const wchar_t* pUnits, size_t nCount);

private:
    void OnTagOpen();
    void OnTagClose();

    XML_Tree& m_tree;
    std::wstring m_buffer;
    bool m_bInTag = false;
    size_t m_nElements = 0;
    // Depth of start tags left out after kMaxElements, so their end tags close nothing real.
    size_t m_nSkipDepth = 0;
};
