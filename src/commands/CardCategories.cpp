#include "commands/CardCategories.h"

namespace tessivar {

std::string toUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

const CardCategoryInfo* findCardCategory(std::string_view text) {
    const std::string upper = toUpperAscii(text);
    for (const auto& info : kCardCategories)
        if (info.word == upper)
            return &info;
    return nullptr;
}

} // namespace tessivar
