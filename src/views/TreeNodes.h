#pragma once
// The navigation tree without widgets: which nodes exist, their keys, texts, order and
// colours, how the poll cycle's redraw requests find their node, which window a node opens,
// and the turning logo's geometry. frmTree mirrors this table in a tree control.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessivar {

inline constexpr std::uint32_t kNodeBlack = 0x000000;
inline constexpr std::uint32_t kNodeSilver = 0xC0C0C0;

struct TreeNode {
    std::string key;
    std::string text;
    std::string parent; // empty for the root
    bool isCard = false;
    std::uint32_t colour = kNodeBlack;
};

// What the tree reads of the card inventory when it is built: validity of each record by
// card number (element 0 is card 1) and the controller's fan controller count.
struct TreeSource {
    std::vector<bool> inputValid;
    std::vector<bool> outputValid;
    std::vector<bool> matrixValid;
    std::vector<bool> powerValid; // power supplies, then 17 monitor, 18 and 19 fans
    int fanControllers = 0;
};

class TreeNodeTable {
public:
    explicit TreeNodeTable(const TreeSource& source);

    const std::vector<TreeNode>& nodes() const { return nodes_; }
    // Index of the node with this key, or -1.
    int indexOf(const std::string& key) const;

    // Recolours every node (from the third on) whose text is the one intType and intCard
    // name; returns the indexes it touched. Unknown types touch nothing.
    std::vector<int> RedrawTreeNode(std::int16_t intType, std::int16_t intCard, bool bolOnline);

private:
    std::vector<TreeNode> nodes_;
};

// The node text RedrawTreeNode looks for, or nothing for a type it does not know.
std::optional<std::string> redrawNodeText(std::int16_t intType, std::int16_t intCard);

enum class RouteKind {
    Single,   // one window of its kind; found by kind alone
    PerTitle, // one window per title (category summaries)
    Card,     // one window per card; only for a valid card record
};

struct WindowRoute {
    RouteKind kind = RouteKind::Single;
    std::string windowKind; // the window's class name, "frmInputCard"
    std::string title;      // empty for Single
    std::string category;   // Card: "INPUT", "OUTPUT", "MATRIX" or "POWER"
    std::int16_t cardNumber = 0;
};

// The card number of a card node's key: the last three characters of a five-character key,
// the last two of a four-character one, otherwise the last one; 0 when they are no number.
std::int16_t cardNumberFromKey(const std::string& key);

// The window a click on the node with this key opens; nothing for the root, unknown keys
// and card keys of an unknown prefix.
std::optional<WindowRoute> routeForNode(const std::string& key);

// IsLoaded's matching rule: same kind and, when a name is given, the same title, both
// ignoring letter case.
bool windowMatches(const std::string& windowKind, const std::string& windowTitle,
                   const std::string& F_Form, const std::string& strName);

// One frame of the turning logo: which face to draw and where, stretched, in the buffer.
struct LogoFrame {
    bool front = true;
    int x = 0;
    int width = 0;
};
LogoFrame logoFrameAt(double angleDegrees, int faceWidth);
double nextLogoAngle(double angleDegrees);

} // namespace tessivar
