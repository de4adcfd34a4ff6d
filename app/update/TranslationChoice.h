// Which translation of a version resource to read: the user's language, then the neutral one,
// then English (each first exactly, then by primary language), else the first entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace update {

// Entries as stored in the resource: language id in the low 16 bits, code page in the high 16.
// Returns the index of the chosen entry, or -1 for an empty table.
int ChooseTranslation(const std::vector<uint32_t>& table, uint16_t userLanguage);

}  // namespace update
