#include "ui/frmLogging.h"

#include "common/OperatorPrompt.h"
#include "common/SettingsStore.h"
#include "link/modUtilities.h"
#include "logging/clsLogFile.h"
#include "logging/clsLogging.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tessivar::ui {

namespace {

constexpr const char* kSection = "Parms";
constexpr const char* kMsgFileName = "Please Enter a valid log file name.";

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A stored category flag: checked for the number 1, unchecked for anything else.
bool storedFlag(ISettingsStore& store, const char* key) {
    const auto n = leadingNumber(store.get(kSection, key, "0"));
    return n && *n == 1.0;
}

} // namespace

frmLogging::frmLogging(clsLogFile& logFile, clsLogging& logging, ISettingsStore& store,
                       IOperatorPrompt& prompt, QWidget* parent)
    : QWidget(parent), logFile_(logFile), logging_(logging), store_(store), prompt_(prompt) {
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
    for (auto [box, text] : {std::pair{chkInputs, txtInputs}, std::pair{chkOutputs, txtOutputs},
                             std::pair{chkMatrices, txtMatrices}, std::pair{chkPower, txtPower}}) {
        cards->addWidget(box, row, 0);
        cards->addWidget(text, row, 1);
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
            [this](const QString& t) { logFile_.setSimpleFileName(t.toStdString()); });
    connect(txtDetailFileName, &QLineEdit::textChanged, this,
            [this](const QString& t) { logFile_.setDetailFileName(t.toStdString()); });
    connect(chkSimpleLog, &QCheckBox::toggled, this, &frmLogging::chkSimpleLog_Click);
    connect(chkDetailLog, &QCheckBox::toggled, this, &frmLogging::chkDetailLog_Click);
    connect(chkInputs, &QCheckBox::toggled, this, [this](bool on) { logging_.logInputs(on); });
    connect(chkOutputs, &QCheckBox::toggled, this, [this](bool on) { logging_.logOutputs(on); });
    connect(chkMatrices, &QCheckBox::toggled, this, [this](bool on) { logging_.logMatrices(on); });
    connect(chkPower, &QCheckBox::toggled, this, [this](bool on) { logging_.logPower(on); });
    connect(txtInputs, &QLineEdit::textChanged, this,
            [this](const QString& t) { logging_.setInputsToLog(t.toStdString()); });
    connect(txtOutputs, &QLineEdit::textChanged, this,
            [this](const QString& t) { logging_.setOutputsToLog(t.toStdString()); });
    connect(txtMatrices, &QLineEdit::textChanged, this,
            [this](const QString& t) { logging_.setMatricesToLog(t.toStdString()); });
    connect(txtPower, &QLineEdit::textChanged, this,
            [this](const QString& t) { logging_.setPowerToLog(t.toStdString()); });

    load();
}

// The boxes start empty and unchecked; every fill below runs its box's reaction only when
// it changes what the box holds.
void frmLogging::load() {
    txtSimpleFileName->setText(q(logFile_.SimpleLogFileName()));
    txtDetailFileName->setText(q(logFile_.DetailLogFileName()));

    chkInputs->setChecked(storedFlag(store_, "LogInputs"));
    chkOutputs->setChecked(storedFlag(store_, "LogOutputs"));
    chkMatrices->setChecked(storedFlag(store_, "LogMatrices"));
    chkPower->setChecked(storedFlag(store_, "LogPower"));

    txtInputs->setText(q(store_.get(kSection, "WhichInputs", "")));
    txtOutputs->setText(q(store_.get(kSection, "WhichOutputs", "")));
    txtMatrices->setText(q(store_.get(kSection, "WhichMatrices", "")));
    txtPower->setText(q(store_.get(kSection, "WhichPower", "")));

    // A checked category applies its text once more, so an empty one selects all cards.
    if (chkInputs->isChecked())
        logging_.setInputsToLog(txtInputs->text().toStdString());
    if (chkOutputs->isChecked())
        logging_.setOutputsToLog(txtOutputs->text().toStdString());
    if (chkMatrices->isChecked())
        logging_.setMatricesToLog(txtMatrices->text().toStdString());
    if (chkPower->isChecked())
        logging_.setPowerToLog(txtPower->text().toStdString());

    chkSimpleLog->setChecked(logFile_.SimpleLogEnable());
    chkDetailLog->setChecked(logFile_.DetailLogEnable());
}

void frmLogging::chkSimpleLog_Click(bool checked) {
    const std::string name = txtSimpleFileName->text().toStdString();
    if (name.empty()) {
        prompt_.tell(kMsgFileName);
        return;
    }
    logging_.simpleLog(checked);
    logFile_.SimpleLogEnable(checked);
    logFile_.setSimpleFileName(name);
    if (checked)
        logFile_.addSimpleHeader();
    else
        logFile_.addSimpleFooter();
}

void frmLogging::chkDetailLog_Click(bool checked) {
    const std::string name = txtDetailFileName->text().toStdString();
    if (name.empty()) {
        prompt_.tell(kMsgFileName);
        return;
    }
    logging_.detailLog(checked);
    logFile_.DetailLogEnable(checked);
    logFile_.setDetailFileName(name);
    if (checked)
        logFile_.addDetailHeader();
    else
        logFile_.addDetailFooter();
}

} // namespace tessivar::ui
