#include "logging/modSelection.h"

#include <gtest/gtest.h>

namespace tessivar {
namespace {

std::vector<int> marked(const std::vector<bool>& selected) {
    std::vector<int> out;
    for (std::size_t i = 0; i < selected.size(); ++i)
        if (selected[i])
            out.push_back(static_cast<int>(i));
    return out;
}

TEST(ParseCardSelection, GrammarTable) {
    struct Case {
        std::string text;
        bool all;
        std::vector<int> cards;
        int highest;
    };
    const Case cases[] = {
        {"", true, {}, 0},
        {"all", true, {}, 0},
        {"1,All", true, {}, 0},
        {"small", true, {}, 0},
        {"  ", false, {}, 0},
        {"1,5,8,11", false, {1, 5, 8, 11}, 11},
        {"1-5,13-16", false, {1, 2, 3, 4, 5, 13, 14, 15, 16}, 16},
        {"5-3", false, {}, 0},
        {"0, x, -2", false, {}, 0},
        {" 7 ", false, {7}, 7},
        {"1, 3-2, 4", false, {1, 4}, 4},
        {"0", false, {}, 0},
        {"abc", false, {}, 0},
        {"2.5", false, {2}, 2},
        {"3.5", false, {4}, 4},
        {"5abc", false, {5}, 5},
        {"3-5-7", false, {3, 4, 5}, 5},
        {"-4", false, {}, 0},
        {"2,,3,", false, {2, 3}, 3},
        {"4-4", false, {4}, 4},
        {"9,2", false, {2, 9}, 9},
        {"32767", false, {32767}, 32767},
        {"40000,2", false, {2}, 2},
        {"1-40000", false, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("text '" + c.text + "'");
        std::vector<bool> selected(50, true);
        bool all = !c.all;
        int highest = parseCardSelection(c.text, selected, all);
        EXPECT_EQ(all, c.all);
        EXPECT_EQ(highest, c.highest);
        EXPECT_EQ(marked(selected), c.cards);
    }
}

} // namespace
} // namespace tessivar
