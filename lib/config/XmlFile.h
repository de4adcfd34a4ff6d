// Reading and writing the element tree as a text file: UTF-16 little-endian without byte-order
// mark, one element per start and end line, one space of indentation per level, line feeds, and
// "/" in values written as "\colon".
#pragma once

#include <stddef.h>

#include "framework/FxString.h"
#include "lib/PeltoLibApi.h"
#include "lib/config/XmlTree.h"

class PELTOLIB_API XML_File {
public:
    XML_File() {}
    virtual ~XML_File() {}

    // Reads the file into the tree. Always true: a missing or unreadable file leaves the tree as
    // it was, malformed text gives whatever tree the parser's rules build.
    static bool ReadXMLFile(XML_Tree& tree, const CString& strPath);
    // The same parser over bytes in memory, read as the file's bytes would be.
    static bool ReadXMLBuffer(XML_Tree& tree, const void* pData, size_t nBytes);

    // Writes the tree to the file. Always true. The old file is replaced only once the whole new
    // one has been written beside it, so a failed save leaves it as it was; temporary files that
    // killed saves of the same file left behind are removed first. Every value is written as
    // MakeStorableValue makes it, so the file always reads back into the tree's structure.
    static bool WriteXMLFile(const XML_Tree& tree, const CString& strPath);
    // The same save, telling whether the file now holds the tree: false when the new file could
    // not be made or written, or could not take the old one's place.
    static bool ReplaceXMLFile(const XML_Tree& tree, const CString& strPath);

    // The value as the file can carry it: "<" removed, the text "\colon" turned into the "/" the
    // reader would make of it, and tab, line feed and space trimmed from both ends. A value that
    // this leaves unchanged reads back exactly.
    static void MakeStorableValue(CString& str);

    // "/" becomes "\colon" and back.
    static void MakeSaveString(CString& str);
    static void UnmakeSaveString(CString& str);
};
