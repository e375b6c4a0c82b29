#include "platform/QtOperatorPrompt.h"

#include "platform/QtTestApp.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>

#include <functional>

namespace tessivar {
namespace {

// What the operator saw in the box.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList visibleButtons;
};

// Runs `act` on the modal box as soon as it is up, recording what it shows.
class BoxOperator {
public:
    explicit BoxOperator(std::function<void(QMessageBox&)> act) : act_(std::move(act)) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            timer_.stop();
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            for (QAbstractButton* b : box->buttons())
                if (b->isVisibleTo(box))
                    seen.visibleButtons << b->text().remove('&');
            act_(*box);
        });
        timer_.start();
    }
    SeenBox seen;

private:
    std::function<void(QMessageBox&)> act_;
    QTimer timer_;
};

std::function<void(QMessageBox&)> press(QMessageBox::StandardButton which) {
    return [which](QMessageBox& box) { box.button(which)->click(); };
}

struct AskCase {
    const char* name;
    PromptButtons buttons;
    PromptIcon icon;
    QMessageBox::StandardButton pressed; // NoButton: the box is closed instead
    PromptAnswer expected;
    QMessageBox::Icon expectedIcon;
    QStringList expectedButtons;
};

class QtOperatorPromptAsk : public ::testing::TestWithParam<AskCase> {
protected:
    void SetUp() override { testing::ensureQtApplication(); }
};

TEST_P(QtOperatorPromptAsk, ShowsTheBoxAndReportsTheAnswer) {
    const AskCase& c = GetParam();
    BoxOperator op(c.pressed == QMessageBox::NoButton
                       ? std::function<void(QMessageBox&)>([](QMessageBox& b) { b.close(); })
                       : press(c.pressed));
    QtOperatorPrompt prompt;
    EXPECT_EQ(prompt.ask("Output card 3 has gone offline", c.buttons, c.icon, "Tessivar"),
              c.expected);
    EXPECT_EQ(op.seen.title, "Tessivar");
    EXPECT_EQ(op.seen.text, "Output card 3 has gone offline");
    EXPECT_EQ(op.seen.icon, c.expectedIcon);
    EXPECT_EQ(op.seen.visibleButtons.size(), c.expectedButtons.size());
    for (const QString& b : c.expectedButtons)
        EXPECT_TRUE(op.seen.visibleButtons.contains(b)) << b.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Boxes, QtOperatorPromptAsk,
                         ::testing::Values(AskCase{"PlainOk",
                                                   PromptButtons::Ok,
                                                   PromptIcon::None,
                                                   QMessageBox::Ok,
                                                   PromptAnswer::Ok,
                                                   QMessageBox::NoIcon,
                                                   {"OK"}},
                                           AskCase{"ExclamationIsWarning",
                                                   PromptButtons::Ok,
                                                   PromptIcon::Exclamation,
                                                   QMessageBox::Ok,
                                                   PromptAnswer::Ok,
                                                   QMessageBox::Warning,
                                                   {"OK"}},
                                           AskCase{"CriticalIcon",
                                                   PromptButtons::Ok,
                                                   PromptIcon::Critical,
                                                   QMessageBox::Ok,
                                                   PromptAnswer::Ok,
                                                   QMessageBox::Critical,
                                                   {"OK"}},
                                           AskCase{"InformationIcon",
                                                   PromptButtons::Ok,
                                                   PromptIcon::Information,
                                                   QMessageBox::Ok,
                                                   PromptAnswer::Ok,
                                                   QMessageBox::Information,
                                                   {"OK"}},
                                           AskCase{"Yes",
                                                   PromptButtons::YesNo,
                                                   PromptIcon::Question,
                                                   QMessageBox::Yes,
                                                   PromptAnswer::Yes,
                                                   QMessageBox::Question,
                                                   {"Yes", "No"}},
                                           AskCase{"No",
                                                   PromptButtons::YesNo,
                                                   PromptIcon::Question,
                                                   QMessageBox::No,
                                                   PromptAnswer::No,
                                                   QMessageBox::Question,
                                                   {"Yes", "No"}},
                                           AskCase{"ClosedYesNoIsNo",
                                                   PromptButtons::YesNo,
                                                   PromptIcon::None,
                                                   QMessageBox::NoButton,
                                                   PromptAnswer::No,
                                                   QMessageBox::NoIcon,
                                                   {"Yes", "No"}},
                                           AskCase{"OkOfOkCancel",
                                                   PromptButtons::OkCancel,
                                                   PromptIcon::None,
                                                   QMessageBox::Ok,
                                                   PromptAnswer::Ok,
                                                   QMessageBox::NoIcon,
                                                   {"OK", "Cancel"}},
                                           AskCase{"Cancel",
                                                   PromptButtons::OkCancel,
                                                   PromptIcon::None,
                                                   QMessageBox::Cancel,
                                                   PromptAnswer::Cancel,
                                                   QMessageBox::NoIcon,
                                                   {"OK", "Cancel"}},
                                           AskCase{"ClosedOkCancelIsCancel",
                                                   PromptButtons::OkCancel,
                                                   PromptIcon::None,
                                                   QMessageBox::NoButton,
                                                   PromptAnswer::Cancel,
                                                   QMessageBox::NoIcon,
                                                   {"OK", "Cancel"}}),
                         [](const auto& param) { return param.param.name; });

struct ChooseCase {
    const char* name;
    int buttonIndex; // which caption to press; -1: close the box
    int expected;
};

class QtOperatorPromptChoose : public ::testing::TestWithParam<ChooseCase> {
protected:
    void SetUp() override { testing::ensureQtApplication(); }
};

TEST_P(QtOperatorPromptChoose, ShowsBothCaptionsAndReportsTheChoice) {
    const ChooseCase& c = GetParam();
    BoxOperator op([&c](QMessageBox& box) {
        if (c.buttonIndex < 0) {
            box.close();
            return;
        }
        const QString caption = c.buttonIndex == 0 ? "Take over" : "Leave";
        for (QAbstractButton* b : box.buttons())
            if (b->text() == caption)
                b->click();
    });
    QtOperatorPrompt prompt;
    EXPECT_EQ(prompt.choose("Controller", "The controller is standby.", "Take over", "Leave"),
              c.expected);
    EXPECT_EQ(op.seen.title, "Controller");
    EXPECT_EQ(op.seen.text, "The controller is standby.");
    EXPECT_EQ(op.seen.visibleButtons, (QStringList{"Take over", "Leave"}));
}

INSTANTIATE_TEST_SUITE_P(Choices, QtOperatorPromptChoose,
                         ::testing::Values(ChooseCase{"First", 0, 0}, ChooseCase{"Second", 1, 1},
                                           ChooseCase{"Closed", -1, -1}),
                         [](const auto& param) { return param.param.name; });

} // namespace
} // namespace tessivar
