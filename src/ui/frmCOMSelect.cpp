#include "ui/frmCOMSelect.h"

#include "common/OperatorPrompt.h"
#include "common/SettingsStore.h"
#include "link/clsConnectionData.h"
#include "link/modUtilities.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tessivar::ui {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

frmCOMSelect::frmCOMSelect(ISettingsStore& store, IOperatorPrompt& prompt, IConnectionHost& host,
                           EndProgram endProgram, DevicePathFor devicePathFor, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      store_(store), prompt_(prompt), host_(host), endProgram_(std::move(endProgram)),
      devicePathFor_(std::move(devicePathFor)) {
    setObjectName(QStringLiteral("frmCOMSelect"));
    setWindowTitle(QStringLiteral("Port Selection"));
    setModal(true);

    OptionCOM = new QRadioButton(QStringLiteral("Local"), this);
    OptionTelnet = new QRadioButton(QStringLiteral("Remote"), this);
    Label1 = new QLabel(QStringLiteral("Com Port:"), this);
    txtComPort = new QLineEdit(this);
    txtComPort->setAlignment(Qt::AlignCenter);
    txtComPort->setFixedWidth(56);
    lblDevicePath = new QLabel(this);
    lblDevicePath->setObjectName(QStringLiteral("lblDevicePath"));
    lblDevicePath->setMinimumWidth(140);
    QPalette muted = lblDevicePath->palette();
    muted.setColor(QPalette::WindowText, QColor(90, 90, 90));
    lblDevicePath->setPalette(muted);
    Label2 = new QLabel(QStringLiteral("Telnet Address:"), this);
    for (std::size_t i = 0; i < txtIP.size(); ++i) {
        txtIP[i] = new QLineEdit(this);
        txtIP[i]->setObjectName(QStringLiteral("txtIP%1").arg(i));
        txtIP[i]->setAlignment(Qt::AlignCenter);
        txtIP[i]->setFixedWidth(44);
    }
    for (auto& dot : lblDot)
        dot = new QLabel(QStringLiteral("."), this);
    Label3 = new QLabel(QStringLiteral("Telnet Port:"), this);
    txtTelnetport = new QLineEdit(QStringLiteral("23"), this);
    txtTelnetport->setAlignment(Qt::AlignCenter);
    txtTelnetport->setFixedWidth(64);
    Label4 = new QLabel(QStringLiteral("Telnet Password:"), this);
    txtTelnetpass = new QLineEdit(this);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(OptionCOM, 0, 0, 1, 2);
    grid->addWidget(Label1, 1, 0, Qt::AlignRight);
    auto* comRow = new QHBoxLayout;
    comRow->addWidget(txtComPort);
    comRow->addWidget(lblDevicePath, 1);
    grid->addLayout(comRow, 1, 1);
    grid->setRowMinimumHeight(2, 10);
    grid->addWidget(OptionTelnet, 3, 0, 1, 2);
    grid->addWidget(Label2, 4, 0, Qt::AlignRight);
    auto* ipRow = new QHBoxLayout;
    ipRow->setSpacing(2);
    for (std::size_t i = 0; i < txtIP.size(); ++i) {
        ipRow->addWidget(txtIP[i]);
        if (i < lblDot.size())
            ipRow->addWidget(lblDot[i]);
    }
    ipRow->addStretch(1);
    grid->addLayout(ipRow, 4, 1);
    grid->addWidget(Label3, 5, 0, Qt::AlignRight);
    grid->addWidget(txtTelnetport, 5, 1, Qt::AlignLeft);
    grid->addWidget(Label4, 6, 0, Qt::AlignRight);
    grid->addWidget(txtTelnetpass, 6, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    grid->setRowMinimumHeight(7, 10);
    grid->addLayout(buttons, 8, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(OptionCOM, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptionCOM_Click();
    });
    connect(OptionTelnet, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptionTelnet_Click();
    });
    connect(cmdOK, &QPushButton::clicked, this, &frmCOMSelect::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmCOMSelect::cmdCancel_Click);
    connect(txtComPort, &QLineEdit::textChanged, this, &frmCOMSelect::showDevicePath);

    load();
}

frmCOMSelect::~frmCOMSelect() = default;

void frmCOMSelect::load() {
    data_ = std::make_unique<clsConnectionData>(store_);
    const clsConnectionData& stored = *data_;
    txtComPort->setText(QString::number(stored.ComPort()));
    const auto boxes = addressBoxesFor(stored.TelnetAddress());
    for (std::size_t i = 0; i < txtIP.size(); ++i)
        txtIP[i]->setText(q(boxes[i]));
    txtTelnetport->setText(QString::number(stored.TelnetPort()));
    txtTelnetpass->setText(q(stored.TelnetPassword()));
    if (stored.ConnectionType() == "Telnet") {
        OptionTelnet->setChecked(true);
        OptionTelnet_Click();
    } else {
        OptionCOM->setChecked(true);
        OptionCOM_Click();
    }
    showDevicePath();
}

void frmCOMSelect::OptionCOM_Click() {
    enableLinkControls(true);
}

void frmCOMSelect::OptionTelnet_Click() {
    enableLinkControls(false);
}

void frmCOMSelect::enableLinkControls(bool local) {
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(txtComPort),
                       static_cast<QWidget*>(lblDevicePath)})
        w->setEnabled(local);
    for (QWidget* w : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3),
                       static_cast<QWidget*>(txtTelnetport), static_cast<QWidget*>(Label4),
                       static_cast<QWidget*>(txtTelnetpass)})
        w->setEnabled(!local);
    for (auto* box : txtIP)
        box->setEnabled(!local);
    for (auto* dot : lblDot)
        dot->setEnabled(!local);
}

void frmCOMSelect::showDevicePath() {
    if (!devicePathFor_) {
        lblDevicePath->clear();
        return;
    }
    const std::string text = txtComPort->text().toStdString();
    const auto checked = checkSerialFields(text);
    if (!checked.value) {
        lblDevicePath->clear();
        return;
    }
    lblDevicePath->setText(QStringLiteral("\u2192 ") + q(devicePathFor_(checked.value->comPort)));
}

ComSelectFields frmCOMSelect::fields() const {
    ComSelectFields f;
    f.kind = OptionTelnet->isChecked() ? LinkKind::Remote : LinkKind::Local;
    f.comPort = txtComPort->text().toStdString();
    for (std::size_t i = 0; i < txtIP.size(); ++i)
        f.address[i] = txtIP[i]->text().toStdString();
    f.telnetPort = txtTelnetport->text().toStdString();
    f.password = txtTelnetpass->text().toStdString();
    return f;
}

void frmCOMSelect::fill(const ConnectTarget& target) {
    if (target.kind == LinkKind::Remote) {
        OptionTelnet->setChecked(true);
        for (std::size_t i = 0; i < txtIP.size(); ++i)
            txtIP[i]->setText(q(target.address[i]));
        txtTelnetport->setText(q(target.telnetPort));
    } else {
        OptionCOM->setChecked(true);
        txtComPort->setText(q(target.comPort));
    }
}

void frmCOMSelect::cmdOK_Click() {
    cmdOK->setEnabled(false);
    const bool connected = runConnect(fields(), *data_, host_, prompt_);
    cmdOK->setEnabled(true);
    if (connected)
        finishConnected();
}

void frmCOMSelect::finishConnected() {
    setResult(QDialog::Accepted);
    hide();
}

void frmCOMSelect::cmdCancel_Click() {
    if (confirmExit(prompt_))
        endProgram_();
}

// Escape asks, like the Cancel button, instead of silently leaving the dialog.
void frmCOMSelect::reject() {
    cmdCancel_Click();
}

void frmCOMSelect::closeEvent(QCloseEvent* event) {
    event->ignore();
    endProgram_();
}

} // namespace tessivar::ui
