#include "ui/frmAbout.h"

#include "common/OperatorPrompt.h"
#include "ui/Pictures.h"
#include "ui/VersionInfo.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace tessivar::ui {

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About ") + QString::fromUtf8(kProgramTitle));

    auto* picture = new QLabel(this);
    picture->setPixmap(logoFace(true, 64));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle = new QLabel(productName(), this);
    QFont f = lblTitle->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.6);
    lblTitle->setFont(f);
    lblVersion = new QLabel(versionText(), this);
    lblDisclaimer = new QLabel(legalNotice(), this);
    lblDisclaimer->setWordWrap(true);
    lblTrademark = new QLabel(trademarkNotice(), this);
    lblTrademark->setWordWrap(true);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(picture, 0, 0, 4, 1);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblDisclaimer, 2, 1);
    grid->addWidget(lblTrademark, 3, 1);
    grid->addWidget(ok, 4, 1, Qt::AlignRight);
    grid->setColumnMinimumWidth(1, 320);
    grid->setHorizontalSpacing(16);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace tessivar::ui
