#include "app/update/TranslationChoice.h"

namespace update {
namespace {

int Find(const std::vector<uint32_t>& table, uint16_t language) {
    for (size_t i = 0; i < table.size(); ++i)
        if ((table[i] & 0xFFFF) == language) return static_cast<int>(i);
    for (size_t i = 0; i < table.size(); ++i)
        if ((table[i] & 0xFF) == (language & 0xFFu)) return static_cast<int>(i);
    return -1;
}

}  // namespace

int ChooseTranslation(const std::vector<uint32_t>& table, uint16_t userLanguage) {
    if (table.empty()) return -1;
    for (uint16_t language : {userLanguage, uint16_t(0), uint16_t(9)}) {
        int i = Find(table, language);
        if (i >= 0) return i;
    }
    return 0;
}

}  // namespace update
