#include "views/TreeNodes.h"

#include <gtest/gtest.h>

namespace tessivar {
namespace {

std::vector<std::string> keysOf(const TreeNodeTable& t) {
    std::vector<std::string> keys;
    for (const auto& n : t.nodes())
        keys.push_back(n.key);
    return keys;
}

const TreeNode& node(const TreeNodeTable& t, const std::string& key) {
    int i = t.indexOf(key);
    EXPECT_GE(i, 0) << key;
    return t.nodes().at(static_cast<std::size_t>(i));
}

// A small frame: 2 inputs (2 absent), 1 output, no matrix cards, 19 power slots with power
// supply 2 and fan controller 2 absent, and fan controllers reported.
TreeSource smallFrame() {
    TreeSource s;
    s.inputValid = {true, false};
    s.outputValid = {true};
    s.powerValid = std::vector<bool>(19, true);
    s.powerValid[1] = false;
    s.powerValid[18] = false;
    s.fanControllers = 1;
    return s;
}

TEST(TreeNodeTable, BuildsNodesInTableOrderWithParentsAndColours) {
    TreeNodeTable t(smallFrame());
    std::vector<std::string> expected = {"Root",   "FCStatus", "Input",  "IC1",  "IC2",
                                         "Output", "OC1",      "Matrix", "Power"};
    for (int n = 1; n <= 16; ++n)
        expected.push_back("PC" + std::to_string(n));
    for (const char* k :
         {"OutputMonitor", "FC18", "FC19", "CommSummary", "RouterStatus", "CommandLine", "Logging"})
        expected.push_back(k);
    EXPECT_EQ(keysOf(t), expected);

    EXPECT_EQ(node(t, "Root").text, "QUORVEL");
    EXPECT_EQ(node(t, "Root").parent, "");
    EXPECT_EQ(node(t, "IC2").text, "Input 2");
    EXPECT_EQ(node(t, "IC2").parent, "Input");
    EXPECT_EQ(node(t, "PC16").text, "Power 16");
    EXPECT_EQ(node(t, "FC19").text, "Fan Controller 2");
    EXPECT_EQ(node(t, "FC19").parent, "Root");
    EXPECT_EQ(node(t, "RouterStatus").text, "Router/Switch Status");

    EXPECT_EQ(node(t, "IC1").colour, kNodeBlack);
    EXPECT_EQ(node(t, "IC2").colour, kNodeSilver);
    EXPECT_EQ(node(t, "PC2").colour, kNodeSilver);
    EXPECT_EQ(node(t, "FC18").colour, kNodeBlack);
    EXPECT_EQ(node(t, "FC19").colour, kNodeSilver);
    EXPECT_FALSE(node(t, "Input").isCard);
    EXPECT_TRUE(node(t, "FC18").isCard);
}

TEST(TreeNodeTable, OptionalNodesFollowTheInventory) {
    struct Case {
        const char* name;
        std::size_t powerSlots;
        bool monitorValid;
        int fans;
        int powerSupplyNodes;
        bool monitorNode;
        bool fanNodes;
    };
    const Case cases[] = {
        {"no power cards", 0, false, 0, 0, false, false},
        {"three power slots", 3, false, 0, 0, false, false},
        {"sixteen slots", 16, false, 0, 13, false, false},
        {"monitor invalid", 19, false, 0, 16, false, false},
        {"monitor valid", 19, true, 0, 16, true, false},
        // fan nodes come in pairs; a short power list makes them silver, not a fault
        {"one fan controller", 17, true, 1, 14, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TreeSource s;
        s.powerValid = std::vector<bool>(c.powerSlots, true);
        if (c.powerSlots >= 17)
            s.powerValid[16] = c.monitorValid;
        s.fanControllers = c.fans;
        TreeNodeTable t(s);
        int supplies = 0;
        for (const auto& n : t.nodes())
            supplies += n.key.rfind("PC", 0) == 0 ? 1 : 0;
        EXPECT_EQ(supplies, c.powerSupplyNodes);
        EXPECT_EQ(t.indexOf("OutputMonitor") >= 0, c.monitorNode);
        EXPECT_EQ(t.indexOf("FC18") >= 0, c.fanNodes);
        EXPECT_EQ(t.indexOf("FC19") >= 0, c.fanNodes);
        if (c.fanNodes && c.powerSlots < 19) {
            EXPECT_EQ(node(t, "FC18").colour, kNodeSilver);
        }
        // category nodes stay even when empty
        EXPECT_GE(t.indexOf("Matrix"), 0);
    }
}

TEST(TreeNodeTable, RedrawFindsOnlyTheNodeOfItsCategory) {
    TreeSource s;
    s.inputValid = {true, true, true};
    s.outputValid = {true, true, true};
    s.matrixValid = {true, true, true};
    s.powerValid = std::vector<bool>(19, true);
    s.powerValid[18] = false;
    s.fanControllers = 2;
    TreeNodeTable t(s);

    auto touched = t.RedrawTreeNode(1, 3, false);
    ASSERT_EQ(touched.size(), 1U);
    EXPECT_EQ(t.nodes()[static_cast<std::size_t>(touched[0])].key, "OC3");
    EXPECT_EQ(node(t, "OC3").colour, kNodeSilver);
    EXPECT_EQ(node(t, "IC3").colour, kNodeBlack);
    EXPECT_EQ(node(t, "MC3").colour, kNodeBlack);

    t.RedrawTreeNode(5, 19, true);
    EXPECT_EQ(node(t, "FC19").colour, kNodeBlack);
    t.RedrawTreeNode(4, 2, false);
    EXPECT_EQ(node(t, "PC2").colour, kNodeSilver);
    t.RedrawTreeNode(1, 3, true);
    EXPECT_EQ(node(t, "OC3").colour, kNodeBlack);

    // unknown types and cards without a node change nothing
    EXPECT_TRUE(t.RedrawTreeNode(6, 1, false).empty());
    EXPECT_TRUE(t.RedrawTreeNode(0, 1, false).empty());
    EXPECT_TRUE(t.RedrawTreeNode(2, 40, false).empty());
    // "Input 1" must not match "Input 12"-style prefixes
    EXPECT_EQ(t.RedrawTreeNode(2, 1, false).size(), 1U);
}

TEST(TreeNodeTable, CardKeysReadTheirNumberFromTheKeyLength) {
    const std::pair<std::string, int> cases[] = {
        {"IC7", 7}, {"IC12", 12}, {"OC100", 100}, {"FC18", 18}, {"PC9", 9}, {"ICx", 0},
    };
    for (const auto& [key, n] : cases)
        EXPECT_EQ(cardNumberFromKey(key), n) << key;
}

TEST(TreeNodeTable, NodeClicksRouteToTheirWindowKind) {
    struct Case {
        const char* key;
        RouteKind kind;
        const char* windowKind;
        const char* title;
        const char* category;
        int card;
    };
    const Case cases[] = {
        {"FCStatus", RouteKind::Single, "frmFCStatus", "", "", 0},
        {"Input", RouteKind::PerTitle, "frmSummary", "Inputs Summary", "", 0},
        {"Output", RouteKind::PerTitle, "frmSummary", "Outputs Summary", "", 0},
        {"Matrix", RouteKind::PerTitle, "frmSummary", "Matrices Summary", "", 0},
        {"Power", RouteKind::Single, "frmPowerSummary", "", "", 0},
        {"OutputMonitor", RouteKind::Single, "frmOutMonitor", "", "", 0},
        {"CommSummary", RouteKind::Single, "frmCommSummary", "", "", 0},
        {"RouterStatus", RouteKind::Single, "frmSwitch", "", "", 0},
        {"CommandLine", RouteKind::Single, "frmCmdScreen", "", "", 0},
        {"Logging", RouteKind::Single, "frmLogging", "", "", 0},
        {"IC12", RouteKind::Card, "frmInputCard", "Input 12", "INPUT", 12},
        {"OC3", RouteKind::Card, "frmOutputCard", "Output 3", "OUTPUT", 3},
        {"MC16", RouteKind::Card, "frmMatrixCard", "Matrix 16", "MATRIX", 16},
        {"PC4", RouteKind::Card, "frmPowerCard", "Power Supply 4", "POWER", 4},
        {"FC19", RouteKind::Card, "frmFanController", "Fan Controller 2", "POWER", 19},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        auto r = routeForNode(c.key);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->kind, c.kind);
        EXPECT_EQ(r->windowKind, c.windowKind);
        EXPECT_EQ(r->title, c.title);
        EXPECT_EQ(r->category, c.category);
        EXPECT_EQ(r->cardNumber, c.card);
    }
    for (const char* key : {"Root", "XX3", "", "Q"})
        EXPECT_FALSE(routeForNode(key).has_value()) << key;
}

TEST(TreeNodeTable, WindowLookupIgnoresLetterCase) {
    EXPECT_TRUE(windowMatches("frmInputCard", "Input 3", "frmInputCard", "input 3"));
    EXPECT_TRUE(windowMatches("frmInputCard", "Input 3", "FRMINPUTCARD", ""));
    EXPECT_FALSE(windowMatches("frmInputCard", "Input 3", "frmInputCard", "Input 4"));
    EXPECT_FALSE(windowMatches("frmOutputCard", "Input 3", "frmInputCard", "Input 3"));
}

TEST(TreeNodeTable, LogoTurnsAboutItsVerticalAxis) {
    struct Case {
        double angle;
        bool front;
        int x;
        int width;
    };
    const Case cases[] = {
        {0, true, 0, 100},    {60, true, 25, 50},   {90, true, 50, 0},
        {120, false, 25, 50}, {180, false, 0, 100}, {300, true, 25, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        auto f = logoFrameAt(c.angle, 100);
        EXPECT_EQ(f.front, c.front);
        EXPECT_EQ(f.x, c.x);
        EXPECT_EQ(f.width, c.width);
    }
    double a = 0;
    for (int tick = 0; tick < 36; ++tick)
        a = nextLogoAngle(a);
    EXPECT_EQ(a, 0.0); // one full turn takes 36 ticks
    EXPECT_EQ(nextLogoAngle(355), 5.0);
}

} // namespace
} // namespace tessivar
