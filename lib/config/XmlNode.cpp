#include "lib/config/XmlNode.h"

#include <wchar.h>

#include <new>

XML_Node::XML_Node(XML_Node* pParent, const CString& strName)
    : m_strName(strName), m_pParent(pParent), m_nCursor(kNoCursor) {
    if (pParent) pParent->AddChild(this);
}

XML_Node::~XML_Node() {
    // A crafted file can nest elements a hundred thousand deep, so the subtree is taken down
    // leaf by leaf with a loop: no destructor ever sees children of its own, nothing recurses
    // and nothing needs memory while it is being freed.
    XML_Node* pNode = this;
    for (;;) {
        while (!pNode->m_children.empty()) {
            XML_Node* pChild = pNode->m_children.back();
            pChild->m_pParent = pNode;  // the way back up is the owner, whatever was stored
            pNode = pChild;
        }
        if (pNode == this) break;
        XML_Node* pOwner = pNode->m_pParent;
        pOwner->m_children.pop_back();
        delete pNode;
        pNode = pOwner;
    }
}

void XML_Node::AddValue(const CString& strValue) {
    try {
        m_strValue = strValue;
    } catch (const std::bad_alloc&) {
        // Out of memory: the old value stays.
    }
}

int XML_Node::GetValueAsInt() const { return static_cast<int>(GetValueAsLong()); }

long XML_Node::GetValueAsLong() const { return ::wcstol(m_strValue.GetString(), nullptr, 10); }

XML_Node* XML_Node::GetSubItem(const CString& strName) const {
    for (XML_Node* pChild : m_children) {
        if (pChild->m_strName == strName) return pChild;
    }
    return nullptr;
}

XML_Node* XML_Node::GetFirstSubItem() {
    if (m_children.empty()) {
        m_nCursor = kNoCursor;
        return nullptr;
    }
    m_nCursor = 0;
    return m_children[0];
}

XML_Node* XML_Node::GetNextSubItem() {
    // Safe also when misused: an unset or exhausted cursor simply finds nothing.
    if (m_nCursor == kNoCursor || m_nCursor >= m_children.size()) return nullptr;
    ++m_nCursor;
    return m_nCursor < m_children.size() ? m_children[m_nCursor] : nullptr;
}

void XML_Node::AddChild(XML_Node* pChild) { m_children.push_back(pChild); }
