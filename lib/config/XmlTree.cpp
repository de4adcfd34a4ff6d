#include "lib/config/XmlTree.h"

#include <stdio.h>

#include <new>

XML_Tree::XML_Tree() : m_pRoot(nullptr), m_pCurrent(nullptr) {}

XML_Tree::~XML_Tree() { delete m_pRoot; }

void XML_Tree::AddElement(const CString& strName) {
    if (m_pRoot && !m_pCurrent) return;
    try {
        XML_Node* pNode = new XML_Node(m_pCurrent, strName);
        if (!m_pRoot) m_pRoot = pNode;
        m_pCurrent = pNode;
    } catch (const std::bad_alloc&) {
        // Out of memory: the element is lost and the tree stays as it was.
    }
}

void XML_Tree::EndElement() {
    if (m_pCurrent) m_pCurrent = m_pCurrent->GetParent();
}

void XML_Tree::AddValue(const CString& strValue) {
    if (!m_pCurrent) return;
    try {
        m_pCurrent->AddValue(strValue);
    } catch (const std::bad_alloc&) {
    }
}

// "%d" and "%ld" give the same text for the same number.
void XML_Tree::AddValue(int nValue) { AddValue(static_cast<long>(nValue)); }

void XML_Tree::AddValue(long nValue) {
    wchar_t szValue[24];
    ::swprintf(szValue, 24, L"%ld", nValue);
    try {
        AddValue(CString(szValue));
    } catch (const std::bad_alloc&) {
    }
}
