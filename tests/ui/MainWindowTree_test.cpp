#include "support/Fakes.h"
#include "ui/frmTree.h"
#include "ui/mdiMain.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <map>

namespace tessivar {
namespace {

using testing::FakeCommandChannel;
using testing::FakePrompt;

// A main window with the tree over a small inventory: inputs 1 and 3 valid, input 2 not;
// and stand-in windows for the kinds the tree opens, counting how often each is created.
struct TreeFixture {
    TreeFixture() : main(channel, prompt) {
        main.resize(1000, 700);
        ui::frmTree::Source source;
        source.read = [] {
            TreeSource s;
            s.inputValid = {true, false, true};
            s.outputValid = {true};
            return s;
        };
        source.cardValid = [](const std::string& category, std::int16_t card) {
            return category == "INPUT" ? card == 1 || card == 3 : card == 1;
        };
        tree = new ui::frmTree(main, source, selected);
        main.setTree(tree);
        for (const char* kind : {"frmFCStatus", "frmSummary", "frmInputCard"}) {
            main.windows().add(kind, [this, kind]() -> QWidget* {
                ++created[kind];
                auto* w = new QLabel;
                w->setObjectName(kind);
                // A card window learns its card when it loads; a summary its category from
                // the selected node.
                if (std::string(kind) == "frmInputCard")
                    w->setWindowTitle(QStringLiteral("Input %1").arg(selected));
                else if (std::string(kind) == "frmSummary")
                    w->setWindowTitle(tree->tvTree->currentItem()->text(0) +
                                      QStringLiteral(" Summary"));
                else
                    w->setWindowTitle(QStringLiteral("Frame Controller Status"));
                return w;
            });
        }
        main.show();
    }

    void click(const std::string& key) {
        QTreeWidgetItem* item = tree->item(key);
        ASSERT_NE(item, nullptr) << key;
        tree->tvTree->setCurrentItem(item);
        tree->nodeClick(item);
    }
    QString active() const {
        QMdiSubWindow* a = main.area()->activeSubWindow();
        return a ? a->windowTitle() : QString();
    }

    FakeCommandChannel channel;
    FakePrompt prompt;
    ui::mdiMain main;
    ui::frmTree* tree = nullptr;
    std::int16_t selected = 0;
    std::map<std::string, int> created;
};

TEST(NavigationTree, ShowsTheTableWithSilverInvalidCardsAndStartsCollapsed) {
    TreeFixture f;
    EXPECT_EQ(f.tree->width(), 187); // 2800 twips at 96 dpi
    EXPECT_EQ(ui::frmTree::widthForDpi(120), 233);
    QTreeWidget* tv = f.tree->tvTree;
    ASSERT_EQ(tv->topLevelItemCount(), 1);
    EXPECT_EQ(tv->topLevelItem(0)->text(0), "QUORVEL");
    EXPECT_FALSE(tv->topLevelItem(0)->isExpanded());
    EXPECT_EQ(f.tree->item("IC2")->text(0), "Input 2");
    EXPECT_EQ(f.tree->item("IC2")->parent(), f.tree->item("Input"));
    EXPECT_EQ(f.tree->item("IC2")->foreground(0).color(), QColor(192, 192, 192));
    EXPECT_EQ(f.tree->item("IC1")->foreground(0).color(), QColor(Qt::black));

    f.tree->RedrawTreeNode(2, 1, false);
    EXPECT_EQ(f.tree->item("IC1")->foreground(0).color(), QColor(192, 192, 192));
    EXPECT_EQ(f.tree->item("OC1")->foreground(0).color(), QColor(Qt::black));
    f.tree->RedrawTreeNode(2, 2, true);
    EXPECT_EQ(f.tree->item("IC2")->foreground(0).color(), QColor(Qt::black));
}

TEST(NavigationTree, SingleInstanceWindowsComeToTheFront) {
    TreeFixture f;
    f.click("FCStatus");
    f.click("Input"); // a summary, on top now
    EXPECT_EQ(f.active(), "Inputs Summary");
    f.click("FCStatus");
    EXPECT_EQ(f.created["frmFCStatus"], 1);
    EXPECT_EQ(f.active(), "Frame Controller Status");
    f.click("Input");
    EXPECT_EQ(f.created["frmSummary"], 1);
    f.click("Output"); // another category: a second summary window
    EXPECT_EQ(f.created["frmSummary"], 2);
    EXPECT_EQ(f.active(), "Outputs Summary");
    EXPECT_EQ(f.main.area()->subWindowList().size(), 3);
}

TEST(NavigationTree, CardNodesOpenOneWindowPerValidCard) {
    TreeFixture f;
    f.click("IC2"); // silver: nothing opens, but the card is still the selected one
    EXPECT_EQ(f.created["frmInputCard"], 0);
    EXPECT_EQ(f.selected, 2);
    EXPECT_TRUE(f.prompt.boxes.empty());

    f.click("IC3");
    f.click("IC1");
    f.click("IC3");
    EXPECT_EQ(f.created["frmInputCard"], 2);
    EXPECT_EQ(f.active(), "Input 3");

    QMdiSubWindow* found = f.main.IsLoaded("FRMINPUTCARD", "input 3");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->windowTitle(), "Input 3");
    EXPECT_NE(f.main.IsLoaded("frmInputCard", ""), nullptr);
    EXPECT_EQ(f.main.IsLoaded("frmInputCard", "Input 2"), nullptr);
    EXPECT_EQ(f.main.IsLoaded("frmOutputCard", ""), nullptr);
}

TEST(NavigationTree, WindowsOfLaterKindsSayTheyAreNotAvailable) {
    TreeFixture f;
    f.click("OC1"); // valid card, but no output card window in this build
    f.click("CommandLine");
    f.click("Root");
    EXPECT_EQ(f.prompt.messages(),
              (std::vector<std::string>{"The window \"Output 1\" is not available yet.",
                                        "The window \"Command Line\" is not available yet."}));
}

TEST(NavigationTree, ChildWindowsFillTheAreaRightOfTheTree) {
    TreeFixture f;
    f.click("FCStatus");
    QMdiSubWindow* sub = f.main.area()->activeSubWindow();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->geometry(), f.main.area()->viewport()->rect());
    const QPoint areaLeft = f.main.area()->mapTo(&f.main, QPoint(0, 0));
    EXPECT_GE(areaLeft.x(), f.main.treeWidth());
}

TEST(MainWindow, MenusInOrderAndTheWatchdogItemsThreeStates) {
    FakeCommandChannel channel;
    FakePrompt prompt;
    ui::mdiMain main(channel, prompt);
    EXPECT_EQ(main.windowTitle(), "Quorvel Tessivar");
    QStringList titles;
    for (QAction* a : main.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Settings", "&Window", "&Help"}));
    QStringList settings;
    for (QAction* a : main.mnuSettings->actions())
        settings << a->text();
    EXPECT_EQ(settings,
              (QStringList{"&FrameType", "&Reinitialize", "&Matrix Watchdog...",
                           "&Output Reclock Rates...", "&HD To SD Converter Options..."}));

    struct Case {
        const char* answer;
        bool visible;
        bool enabled;
    };
    // "CAPABLE" keeps whatever visibility the item had: shown after "YES", hidden after "NO".
    const Case sequence[] = {{"YES", true, true},  {"CAPABLE", true, false},
                             {"NO", false, false}, {"CAPABLE", false, false},
                             {"YES", true, true},  {"", false, false}};
    for (const auto& c : sequence) {
        SCOPED_TRACE(c.answer);
        main.setWatchdogMenu(c.answer);
        EXPECT_EQ(main.mnuRedundantMatrix->isVisible(), c.visible);
        EXPECT_EQ(main.mnuRedundantMatrix->isEnabled(), c.enabled);
    }
}

TEST(MainWindow, CloseTurnsVerboseOnButExitDoesNot) {
    FakeCommandChannel channel;
    FakePrompt prompt;
    ui::mdiMain main(channel, prompt);
    int ended = 0;
    ui::mdiMain::Actions actions;
    actions.endProgram = [&] { ++ended; };
    main.setActions(actions);
    main.mnuExit->trigger();
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(channel.commands.empty());
    main.show();
    main.close();
    EXPECT_EQ(channel.commands, std::vector<std::string>{"\x16"});
}

TEST(MainWindow, PollTicksWaitForTheSharedObjectsAndNeverNest) {
    FakeCommandChannel channel;
    FakePrompt prompt;
    ui::mdiMain main(channel, prompt);
    int ticks = 0;
    ui::mdiMain::Actions actions;
    // A tick whose modal box lets the next timer event through.
    actions.pollTick = [&] {
        ++ticks;
        main.timUpdate_Timer();
    };
    main.setActions(actions);
    main.timUpdate_Timer(); // started by the inventory before the log objects exist
    EXPECT_EQ(ticks, 0);
    main.setPollReady(true);
    main.timUpdate_Timer();
    EXPECT_EQ(ticks, 1);
    main.setLinkBusy(true); // the inventory of "&Reinitialize" is talking to the frame
    main.timUpdate_Timer();
    EXPECT_EQ(ticks, 1);
    main.setLinkBusy(false);
    main.timUpdate_Timer();
    EXPECT_EQ(ticks, 2);
}

TEST(MainWindow, KeptWindowsAreReusedAfterTheOperatorClosedThem) {
    FakeCommandChannel channel;
    FakePrompt prompt;
    ui::mdiMain main(channel, prompt);
    main.resize(800, 600);
    main.show();
    int created = 0;
    main.windows().add("frmReclock", [&]() -> QWidget* {
        ++created;
        auto* w = new QLabel;
        w->setObjectName("frmReclock");
        w->setWindowTitle("Output Reclock Rate Selection");
        return w;
    });
    main.mnuReclock->trigger();
    QMdiSubWindow* first = main.area()->activeSubWindow();
    ASSERT_NE(first, nullptr);
    first->close();
    main.mnuReclock->trigger();
    EXPECT_EQ(created, 1);
    EXPECT_EQ(main.area()->activeSubWindow(), first);
    EXPECT_TRUE(first->isVisible());

    main.mnuConverter->trigger(); // not in this build yet
    EXPECT_EQ(prompt.messages(),
              std::vector<std::string>{"The window \"HD To SD Converter Card Option Selection\" "
                                       "is not available yet."});
}

// The about box stands apart from the child windows; asking for it again brings the open one
// forward instead of stacking a second copy.
TEST(MainWindow, AboutBoxIsOneSeparateWindow) {
    FakeCommandChannel channel;
    FakePrompt prompt;
    ui::mdiMain main(channel, prompt);
    main.show();
    auto openAbouts = [] {
        QList<QWidget*> found;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmAbout" && w->isVisible())
                found << w;
        return found;
    };
    main.mnuAbout->trigger();
    main.mnuAbout->trigger();
    const QList<QWidget*> abouts = openAbouts();
    ASSERT_EQ(abouts.size(), 1);
    EXPECT_EQ(abouts[0]->windowTitle(), "About Tessivar");
    EXPECT_TRUE(main.area()->subWindowList().isEmpty());
    abouts[0]->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(openAbouts().isEmpty());

    main.mnuAbout->trigger(); // closed by the operator: a fresh one opens
    ASSERT_EQ(openAbouts().size(), 1);
    openAbouts()[0]->close();
}

} // namespace
} // namespace tessivar
