// Trees for the element-tree tests: a plain description to compare, a straightforward reading of
// the format's rules to check the real reader against, and file round trips.
#pragma once

#include <string>

#include "lib/config/XmlTree.h"

namespace config_test {

// The tree as text: each element as N<length>:<name>V<length>:<value>[<children>].
std::string Dump(const XML_Tree& tree);

// Reads code units into the tree one at a time, exactly as the format's rules say.
void ReferenceParse(const std::wstring& units, XML_Tree& tree);

// Code units of text as the reader sees them (for building trees from literals).
void ParseText(const std::wstring& text, XML_Tree& tree);

// The bytes that WriteXMLFile produces for the tree.
std::string WrittenBytes(const XML_Tree& tree);

}  // namespace config_test
