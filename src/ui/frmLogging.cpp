#include "ui/frmLogging.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tessivar::ui {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string text(const QString& s) {
    return s.toStdString();
}

} // namespace

frmLogging::frmLogging(clsLogFile& logFile, clsLogging& logging, ISettingsStore& store,
                       IOperatorPrompt& prompt, QWidget* parent)
    : QWidget(parent), form_(logFile, logging, store, prompt) {
    setObjectName(QStringLiteral("frmLogging"));
    setWindowTitle(QStringLiteral("File Logging"));

    chkSimpleLog = new QCheckBox(QStringLiteral("Simple Log File Enable"), this);
    txtSimpleFileName = new QLineEdit(this);
    chkDetailLog = new QCheckBox(QStringLiteral("Detailed Log File Enable"), this);
    txtDetailFileName = new QLineEdit(this);
    fraCardSelection = new QGroupBox(QStringLiteral("Card Selection"), this);
    chkInputs = new QCheckBox(QStringLiteral("Input Cards"), fraCardSelection);
    txtInputs = new QLineEdit(fraCardSelection);
    chkOutputs = new QCheckBox(QStringLiteral("Output Cards"), fraCardSelection);
    txtOutputs = new QLineEdit(fraCardSelection);
    chkMatrices = new QCheckBox(QStringLiteral("Matrix Cards"), fraCardSelection);
    txtMatrices = new QLineEdit(fraCardSelection);
    chkPower = new QCheckBox(QStringLiteral("Power Supplies"), fraCardSelection);
    txtPower = new QLineEdit(fraCardSelection);

    auto* files = new QGridLayout;
    files->addWidget(chkSimpleLog, 0, 0);
    files->addWidget(new QLabel(QStringLiteral("File Name:"), this), 0, 1);
    files->addWidget(txtSimpleFileName, 0, 2);
    files->addWidget(chkDetailLog, 1, 0);
    files->addWidget(new QLabel(QStringLiteral("File Name:"), this), 1, 1);
    files->addWidget(txtDetailFileName, 1, 2);
    files->setColumnStretch(2, 1);

    auto* cards = new QGridLayout(fraCardSelection);
    int row = 0;
    for (auto [category, box, edit] : categoryRows()) {
        cards->addWidget(box, row, 0);
        cards->addWidget(edit, row, 1);
        ++row;
    }
    auto* help = new QVBoxLayout;
    help->addWidget(new QLabel(QStringLiteral("Valid Card Selection Values:"), fraCardSelection));
    help->addWidget(
        new QLabel(QStringLiteral("\"ALL\" or blank to select all cards"), fraCardSelection));
    help->addWidget(new QLabel(QStringLiteral("Comma seperated, ie 1,5,8,11"), fraCardSelection));
    help->addWidget(new QLabel(QStringLiteral("Hyphen seperated, ie 1-5,13-16"), fraCardSelection));
    help->addStretch(1);
    cards->addLayout(help, 0, 2, 4, 1);
    cards->setColumnStretch(1, 1);
    cards->setHorizontalSpacing(16);

    auto* column = new QVBoxLayout(this);
    column->addLayout(files);
    column->addSpacing(8);
    column->addWidget(fraCardSelection);
    column->addStretch(1);

    connect(txtSimpleFileName, &QLineEdit::textChanged, this,
            [this](const QString& t) { form_.editSimpleName(text(t)); });
    connect(txtDetailFileName, &QLineEdit::textChanged, this,
            [this](const QString& t) { form_.editDetailName(text(t)); });
    connect(chkSimpleLog, &QCheckBox::toggled, this,
            [this](bool on) { form_.clickSimpleEnable(on); });
    connect(chkDetailLog, &QCheckBox::toggled, this,
            [this](bool on) { form_.clickDetailEnable(on); });
    for (auto [category, box, edit] : categoryRows()) {
        connect(box, &QCheckBox::toggled, this,
                [this, c = category](bool on) { form_.clickCategory(c, on); });
        connect(edit, &QLineEdit::textChanged, this,
                [this, c = category](const QString& t) { form_.editSelection(c, text(t)); });
    }

    load();
}

std::array<frmLogging::CategoryRow, 4> frmLogging::categoryRows() const {
    return {{{LoggingForm::Inputs, chkInputs, txtInputs},
             {LoggingForm::Outputs, chkOutputs, txtOutputs},
             {LoggingForm::Matrices, chkMatrices, txtMatrices},
             {LoggingForm::Power, chkPower, txtPower}}};
}

// The form restores the stored names, switches and selections, running each reaction only
// where it changes something; the boxes then show what it holds.
void frmLogging::load() {
    form_.open();
    const QSignalBlocker blockSimpleName(txtSimpleFileName);
    const QSignalBlocker blockDetailName(txtDetailFileName);
    const QSignalBlocker blockSimple(chkSimpleLog);
    const QSignalBlocker blockDetail(chkDetailLog);
    txtSimpleFileName->setText(q(form_.simpleName()));
    txtDetailFileName->setText(q(form_.detailName()));
    chkSimpleLog->setChecked(form_.simpleEnableChecked());
    chkDetailLog->setChecked(form_.detailEnableChecked());
    for (auto [category, box, edit] : categoryRows()) {
        const QSignalBlocker blockBox(box);
        const QSignalBlocker blockEdit(edit);
        box->setChecked(form_.categoryChecked(category));
        edit->setText(q(form_.selection(category)));
    }
}

} // namespace tessivar::ui
