#include "platform/QtOperatorPrompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tessivar {

namespace {

QMessageBox::Icon toQtIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Exclamation:
        return QMessageBox::Warning;
    case PromptIcon::Critical:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

PromptAnswer QtOperatorPrompt::ask(const std::string& message, PromptButtons buttons,
                                   PromptIcon icon, const std::string& title) {
    QMessageBox box(toQtIcon(icon), QString::fromStdString(title), QString::fromStdString(message),
                    toQtButtons(buttons), QApplication::activeWindow());
    switch (box.exec()) {
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    default:
        // Left another way: the answer that does nothing.
        if (buttons == PromptButtons::YesNo)
            return PromptAnswer::No;
        return buttons == PromptButtons::OkCancel ? PromptAnswer::Cancel : PromptAnswer::Ok;
    }
}

int QtOperatorPrompt::choose(const std::string& title, const std::string& message,
                             const std::string& first, const std::string& second) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(message), QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton* firstButton =
        box.addButton(QString::fromStdString(first), QMessageBox::ActionRole);
    QPushButton* secondButton =
        box.addButton(QString::fromStdString(second), QMessageBox::ActionRole);
    // Neither caption is a refusal, so the box gets an unseen escape button: without one it
    // could not be closed by its title bar or Escape at all.
    QPushButton* leave = box.addButton(QMessageBox::Cancel);
    leave->hide();
    box.setEscapeButton(leave);
    box.setDefaultButton(firstButton);
    box.exec();
    if (box.clickedButton() == firstButton)
        return 0;
    if (box.clickedButton() == secondButton)
        return 1;
    return -1;
}

} // namespace tessivar
