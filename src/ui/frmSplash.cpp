#include "ui/frmSplash.h"

#include "ui/Pictures.h"
#include "ui/VersionInfo.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace tessivar::ui {

frmSplash::frmSplash(QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    const QSize size(520, 300);
    setFixedSize(size);
    auto* picture = new QLabel(this);
    picture->setPixmap(splashPicture(size.width(), size.height()));
    picture->setGeometry(0, 0, size.width(), size.height());

    auto label = [this](int y, int h) {
        auto* l = new QLabel(this);
        l->setAttribute(Qt::WA_TranslucentBackground);
        l->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
        l->setWordWrap(true);
        l->setGeometry(32, y, width() - 64, h);
        return l;
    };
    lblVersion = label(150, 22);
    QFont bold = lblVersion->font();
    bold.setBold(true);
    lblVersion->setFont(bold);
    lblWarning = label(186, 60);
    lblTrademark = label(252, 30);
    lblVersion->setText(versionText());
    lblWarning->setText(legalNotice());
    lblTrademark->setText(trademarkNotice());

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    tmrSplash.setInterval(100);
    connect(&tmrSplash, &QTimer::timeout, this, &frmSplash::tick);
    tmrSplash.start();
}

void frmSplash::tick() {
    ++ticks_;
    if (ticks_ > 20) {
        tmrSplash.stop();
        accept();
    }
}

} // namespace tessivar::ui
