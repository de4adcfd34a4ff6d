// A document of the element tree, built in reading order: AddElement for a start tag, AddValue
// for the text, EndElement for the end tag.
#pragma once

#include "framework/FxString.h"
#include "lib/PeltoLibApi.h"
#include "lib/config/XmlNode.h"

class PELTOLIB_API XML_Tree {
public:
    XML_Tree();
    virtual ~XML_Tree();

    XML_Tree(const XML_Tree&) = delete;
    XML_Tree& operator=(const XML_Tree&) = delete;

    XML_Node* GetRoot() const { return m_pRoot; }

    // Opens an element inside the open one. The first element becomes the root; once the root
    // is closed, further elements are ignored.
    void AddElement(const CString& strName);
    // Closes the open element; nothing happens when none is open.
    void EndElement();
    // Replaces the value of the open element; nothing happens when none is open.
    void AddValue(const CString& strValue);
    void AddValue(int nValue);
    void AddValue(long nValue);

private:
    XML_Node* m_pRoot;
    XML_Node* m_pCurrent;
};
