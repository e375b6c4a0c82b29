#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessivar {

// Reads a card selection such as "1-5,13-16" into selected (index = card number, entry 0
// never set) and all. An empty text or one holding "all" in any letter case selects every
// card. Returns the highest number marked, 0 when none. Pieces that do not read as card
// numbers 1..32767, and ranges whose ends are out of order, are ignored.
std::int16_t parseCardSelection(const std::string& text, std::vector<bool>& selected, bool& all);

} // namespace tessivar
