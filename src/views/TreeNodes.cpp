#include "views/TreeNodes.h"

#include <cctype>
#include <cmath>

namespace tessivar {

namespace {

bool validAt(const std::vector<bool>& valid, std::size_t card) {
    return card >= 1 && card <= valid.size() && valid[card - 1];
}

void addCards(std::vector<TreeNode>& nodes, const std::string& parent, const std::string& prefix,
              const std::string& noun, const std::vector<bool>& valid, std::size_t count) {
    for (std::size_t n = 1; n <= count; ++n) {
        TreeNode node{prefix + std::to_string(n), noun + std::to_string(n), parent, true,
                      validAt(valid, n) ? kNodeBlack : kNodeSilver};
        nodes.push_back(std::move(node));
    }
}

std::string lower(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

TreeNodeTable::TreeNodeTable(const TreeSource& source) {
    auto add = [this](std::string key, std::string text, std::string parent) {
        nodes_.push_back({std::move(key), std::move(text), std::move(parent), false, kNodeBlack});
    };
    add("Root", "QUORVEL", "");
    add("FCStatus", "Frame Controller Status", "Root");
    add("Input", "Inputs", "Root");
    addCards(nodes_, "Input", "IC", "Input ", source.inputValid, source.inputValid.size());
    add("Output", "Outputs", "Root");
    addCards(nodes_, "Output", "OC", "Output ", source.outputValid, source.outputValid.size());
    add("Matrix", "Matrices", "Root");
    addCards(nodes_, "Matrix", "MC", "Matrix ", source.matrixValid, source.matrixValid.size());
    add("Power", "Power Supplies", "Root");
    const std::size_t powerCount = source.powerValid.size();
    addCards(nodes_, "Power", "PC", "Power ", source.powerValid,
             powerCount > 3 ? powerCount - 3 : 0);
    if (validAt(source.powerValid, 17))
        add("OutputMonitor", "Output Monitor", "Root");
    if (source.fanControllers >= 1) {
        for (std::size_t slot : {18U, 19U}) {
            nodes_.push_back({"FC" + std::to_string(slot),
                              "Fan Controller " + std::to_string(slot - 17), "Root", true,
                              validAt(source.powerValid, slot) ? kNodeBlack : kNodeSilver});
        }
    }
    add("CommSummary", "Communications Summary", "Root");
    add("RouterStatus", "Router/Switch Status", "Root");
    add("CommandLine", "Command Line", "Root");
    add("Logging", "Logging", "Root");
}

int TreeNodeTable::indexOf(const std::string& key) const {
    for (std::size_t i = 0; i < nodes_.size(); ++i)
        if (nodes_[i].key == key)
            return static_cast<int>(i);
    return -1;
}

std::vector<int> TreeNodeTable::RedrawTreeNode(std::int16_t intType, std::int16_t intCard,
                                               bool bolOnline) {
    std::vector<int> touched;
    auto text = redrawNodeText(intType, intCard);
    if (!text)
        return touched;
    for (std::size_t i = 2; i < nodes_.size(); ++i) {
        if (nodes_[i].text == *text) {
            nodes_[i].colour = bolOnline ? kNodeBlack : kNodeSilver;
            touched.push_back(static_cast<int>(i));
        }
    }
    return touched;
}

std::optional<std::string> redrawNodeText(std::int16_t intType, std::int16_t intCard) {
    const std::string n = std::to_string(intCard);
    switch (intType) {
    case 1:
        return "Output " + n;
    case 2:
        return "Input " + n;
    case 3:
        return "Matrix " + n;
    case 4:
        return "Power " + n;
    case 5:
        return "Fan Controller " + std::to_string(intCard - 17);
    default:
        return std::nullopt;
    }
}

std::int16_t cardNumberFromKey(const std::string& key) {
    std::string digits;
    if (key.size() == 5 || key.size() == 4)
        digits = key.substr(2);
    else if (!key.empty())
        digits = key.substr(key.size() - 1);
    int value = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return 0;
        value = value * 10 + (c - '0');
    }
    return static_cast<std::int16_t>(value);
}

std::optional<WindowRoute> routeForNode(const std::string& key) {
    struct Fixed {
        const char* key;
        RouteKind kind;
        const char* windowKind;
        const char* title;
    };
    static const Fixed fixed[] = {
        {"FCStatus", RouteKind::Single, "frmFCStatus", ""},
        {"Input", RouteKind::PerTitle, "frmSummary", "Inputs Summary"},
        {"Output", RouteKind::PerTitle, "frmSummary", "Outputs Summary"},
        {"Matrix", RouteKind::PerTitle, "frmSummary", "Matrices Summary"},
        {"Power", RouteKind::Single, "frmPowerSummary", ""},
        {"OutputMonitor", RouteKind::Single, "frmOutMonitor", ""},
        {"CommSummary", RouteKind::Single, "frmCommSummary", ""},
        {"RouterStatus", RouteKind::Single, "frmSwitch", ""},
        {"CommandLine", RouteKind::Single, "frmCmdScreen", ""},
        {"Logging", RouteKind::Single, "frmLogging", ""},
    };
    if (key == "Root")
        return std::nullopt;
    for (const auto& f : fixed)
        if (key == f.key)
            return WindowRoute{f.kind, f.windowKind, f.title, {}, 0};

    struct CardKind {
        const char* prefix;
        const char* windowKind;
        const char* titleNoun;
        const char* category;
    };
    static const CardKind cards[] = {
        {"IC", "frmInputCard", "Input ", "INPUT"},
        {"OC", "frmOutputCard", "Output ", "OUTPUT"},
        {"MC", "frmMatrixCard", "Matrix ", "MATRIX"},
        {"PC", "frmPowerCard", "Power Supply ", "POWER"},
        {"FC", "frmFanController", "Fan Controller ", "POWER"},
    };
    const std::string prefix = key.substr(0, 2);
    for (const auto& c : cards) {
        if (prefix != c.prefix)
            continue;
        const std::int16_t n = cardNumberFromKey(key);
        const bool fan = prefix == "FC";
        const int shown = fan ? n - 17 : n;
        return WindowRoute{RouteKind::Card, c.windowKind, c.titleNoun + std::to_string(shown),
                           c.category, n};
    }
    return std::nullopt;
}

bool windowMatches(const std::string& windowKind, const std::string& windowTitle,
                   const std::string& F_Form, const std::string& strName) {
    if (lower(windowKind) != lower(F_Form))
        return false;
    return strName.empty() || lower(windowTitle) == lower(strName);
}

LogoFrame logoFrameAt(double angleDegrees, int faceWidth) {
    const double c = std::cos(angleDegrees * 3.14159265358979 / 180.0);
    const double w = std::fabs(faceWidth * c);
    LogoFrame frame;
    frame.front = c >= 0;
    frame.width = static_cast<int>(std::lround(w));
    frame.x = static_cast<int>(std::lround((faceWidth - w) / 2.0));
    return frame;
}

double nextLogoAngle(double angleDegrees) {
    return static_cast<double>(std::lround(angleDegrees + 10.0) % 360);
}

} // namespace tessivar
