// One element of the small element tree that keeps the configuration: a name, a text value and
// the child elements, which the node owns.
#pragma once

#include <stddef.h>

#include <vector>

#include "framework/FxString.h"
#include "lib/PeltoLibApi.h"

class XML_Tree;
class XML_File;

class PELTOLIB_API XML_Node {
public:
    // With a parent, the node appends itself to the parent's children and belongs to it.
    XML_Node(XML_Node* pParent, const CString& strName);
    virtual ~XML_Node();

    XML_Node(const XML_Node&) = delete;
    XML_Node& operator=(const XML_Node&) = delete;

    CString GetName() const { return m_strName; }
    CString GetValue() const { return m_strValue; }
    XML_Node* GetParent() const { return m_pParent; }

    // Replaces the value.
    void AddValue(const CString& strValue);

    // The value as the C library converts a decimal number: leading white space skipped, an
    // optional sign, digits up to the first other character; 0 without digits.
    int GetValueAsInt() const;
    long GetValueAsLong() const;

    // The first child whose name matches exactly; null when there is none.
    XML_Node* GetSubItem(const CString& strName) const;

    // Walk over the children: null when there is no (further) child.
    XML_Node* GetFirstSubItem();
    XML_Node* GetNextSubItem();

protected:
    void AddChild(XML_Node* pChild);

private:
    friend class XML_Tree;
    friend class XML_File;

    static constexpr size_t kNoCursor = static_cast<size_t>(-1);

    CString m_strName;
    CString m_strValue;
    XML_Node* m_pParent;
    std::vector<XML_Node*> m_children;
    size_t m_nCursor;
};
