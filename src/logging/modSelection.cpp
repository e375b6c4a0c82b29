#include "logging/modSelection.h"

#include "link/modUtilities.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace tessivar {

namespace {

bool containsAll(const std::string& text) {
    std::string upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper.find("ALL") != std::string::npos;
}

// The decimal number at the start of a piece, halves to the even neighbour; 0 when the
// piece does not begin with a number. Card numbers are 16-bit, so anything larger reads as
// -1 and is ignored like any other unreadable piece.
long cardNumber(const std::string& piece) {
    std::optional<double> value = leadingNumber(trimSpaces(piece));
    if (!value)
        return 0;
    double rounded = std::nearbyint(*value);
    if (rounded > std::numeric_limits<std::int16_t>::max())
        return -1;
    if (rounded < 0)
        return -1;
    return static_cast<long>(rounded);
}

void mark(std::vector<bool>& selected, std::int16_t& highest, long number) {
    if (number > highest) {
        selected.resize(static_cast<std::size_t>(number) + 1, false);
        highest = static_cast<std::int16_t>(number);
    }
    selected[static_cast<std::size_t>(number)] = true;
}

} // namespace

std::int16_t parseCardSelection(const std::string& text, std::vector<bool>& selected, bool& all) {
    selected.assign(1, false);
    std::int16_t highest = 0;
    if (text.empty() || containsAll(text)) {
        all = true;
        return 0;
    }
    std::size_t start = 0;
    while (true) {
        std::size_t comma = text.find(',', start);
        std::string piece =
            trimSpaces(text.substr(start, comma == std::string::npos ? comma : comma - start));
        std::size_t dash = piece.find('-');
        if (dash == std::string::npos) {
            long n = cardNumber(piece);
            if (n > 0)
                mark(selected, highest, n);
        } else {
            long a = cardNumber(piece.substr(0, dash));
            long b = cardNumber(piece.substr(dash + 1));
            if (a > 0 && b > 0 && b >= a)
                for (long n = a; n <= b; ++n)
                    mark(selected, highest, n);
        }
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    all = false;
    return highest;
}

} // namespace tessivar
