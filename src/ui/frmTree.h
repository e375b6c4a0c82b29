#pragma once

#include "views/TreeNodes.h"

#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace tessivar::ui {

class mdiMain;

// The navigation tree docked at the main window's left: the frame's cards and windows as
// keyed nodes, silver while a card is not valid, and the turning logo above them.
class frmTree : public QWidget {
    Q_OBJECT
public:
    struct Source {
        // Read once per build (it asks the controller for its fan controller count).
        std::function<TreeSource()> read;
        // Whether the card record exists and is valid: "INPUT", "OUTPUT", "MATRIX", "POWER".
        std::function<bool(const std::string& category, std::int16_t card)> cardValid;
    };

    // 2800 twips at the screen's resolution.
    static int widthForDpi(double dpi);

    frmTree(mdiMain& main, Source source, std::int16_t& selectedCardNumber,
            QWidget* parent = nullptr);

    void RedrawTreeNode(std::int16_t intType, std::int16_t intCard, bool bolOnline);

    const TreeNodeTable& table() const { return table_; }
    QTreeWidgetItem* item(const std::string& key) const;
    // The node-click routing; the node is already the selected one.
    void nodeClick(QTreeWidgetItem* node);

    QTreeWidget* tvTree = nullptr;
    QLabel* picZelq = nullptr;
    QLabel* picDisplay = nullptr;
    QTimer Timer1;

private:
    void build();
    void Timer1_Timer();

    mdiMain& main_;
    Source source_;
    std::int16_t& selectedCardNumber_;
    TreeNodeTable table_{TreeSource{}};
    std::vector<QTreeWidgetItem*> items_;
    QPixmap picForward_;
    QPixmap picBackward_;
    QPixmap picBuffer_;
    double angle_ = 0;
};

} // namespace tessivar::ui
