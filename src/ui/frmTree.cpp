#include "ui/frmTree.h"

#include "ui/Pictures.h"
#include "ui/mdiMain.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>
#include <map>

namespace tessivar::ui {

namespace {

QColor colourOf(std::uint32_t rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

constexpr int kKeyRole = Qt::UserRole + 1;

} // namespace

int frmTree::widthForDpi(double dpi) {
    return static_cast<int>(std::lround(2800.0 * dpi / 1440.0));
}

frmTree::frmTree(mdiMain& main, Source source, std::int16_t& selectedCardNumber, QWidget* parent)
    : QWidget(parent), main_(main), source_(std::move(source)),
      selectedCardNumber_(selectedCardNumber) {
    setObjectName(QStringLiteral("frmTree"));
    setWindowTitle(QStringLiteral("Tree"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    const int w = widthForDpi(logicalDpiX());
    setFixedWidth(w);
    resize(w, height());

    picForward_ = logoFace(true, 40);
    picBackward_ = logoFace(false, 40);
    picBuffer_ = QPixmap(picForward_.size());

    picZelq = new QLabel(this);
    picZelq->setObjectName(QStringLiteral("picZelq"));
    picZelq->setPixmap(makerLogo(w - 56, 40));
    picDisplay = new QLabel(this);
    picDisplay->setObjectName(QStringLiteral("picDisplay"));
    picDisplay->setFixedSize(picForward_.size());

    tvTree = new QTreeWidget(this);
    tvTree->setObjectName(QStringLiteral("tvTree"));
    tvTree->setHeaderHidden(true);
    tvTree->setColumnCount(1);
    tvTree->setFrameShape(QFrame::NoFrame);
    tvTree->setIndentation(11);
    tvTree->setUniformRowHeights(true);
    tvTree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Long node texts scroll rather than being cut short in the narrow strip.
    tvTree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tvTree->header()->setStretchLastSection(false);

    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(4, 4, 4, 4);
    strip->addWidget(picZelq);
    strip->addStretch(1);
    strip->addWidget(picDisplay);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(strip);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    column->addWidget(rule);
    column->addWidget(tvTree, 1);

    connect(tvTree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* node, int) { nodeClick(node); });

    build();

    Timer1.setInterval(200);
    connect(&Timer1, &QTimer::timeout, this, &frmTree::Timer1_Timer);
    Timer1_Timer();
    Timer1.start();
}

void frmTree::build() {
    tvTree->clear();
    items_.clear();
    table_ = TreeNodeTable(source_.read ? source_.read() : TreeSource{});
    std::map<std::string, QTreeWidgetItem*> byKey;
    for (const TreeNode& n : table_.nodes()) {
        QTreeWidgetItem* item = nullptr;
        if (n.parent.empty()) {
            item = new QTreeWidgetItem(tvTree);
        } else {
            item = new QTreeWidgetItem(byKey.at(n.parent));
        }
        item->setText(0, QString::fromStdString(n.text));
        item->setData(0, kKeyRole, QString::fromStdString(n.key));
        item->setForeground(0, colourOf(n.colour));
        byKey[n.key] = item;
        items_.push_back(item);
    }
}

QTreeWidgetItem* frmTree::item(const std::string& key) const {
    const int i = table_.indexOf(key);
    return i < 0 ? nullptr : items_[static_cast<std::size_t>(i)];
}

void frmTree::RedrawTreeNode(std::int16_t intType, std::int16_t intCard, bool bolOnline) {
    for (int i : table_.RedrawTreeNode(intType, intCard, bolOnline)) {
        const auto index = static_cast<std::size_t>(i);
        items_[index]->setForeground(0, colourOf(table_.nodes()[index].colour));
    }
}

void frmTree::nodeClick(QTreeWidgetItem* node) {
    if (!node)
        return;
    const std::string key = node->data(0, kKeyRole).toString().toStdString();
    const auto route = routeForNode(key);
    if (!route)
        return;
    const QString name = node->text(0);
    switch (route->kind) {
    case RouteKind::Single:
        main_.openSingle(route->windowKind, name);
        break;
    case RouteKind::PerTitle:
        main_.openByTitle(route->windowKind, route->title, QString::fromStdString(route->title));
        break;
    case RouteKind::Card:
        selectedCardNumber_ = route->cardNumber;
        // Silver card nodes open nothing.
        if (!source_.cardValid || !source_.cardValid(route->category, route->cardNumber))
            return;
        main_.openByTitle(route->windowKind, route->title, QString::fromStdString(route->title));
        break;
    }
}

void frmTree::Timer1_Timer() {
    picBuffer_.fill(Qt::white);
    const LogoFrame frame = logoFrameAt(angle_, picForward_.width());
    {
        QPainter p(&picBuffer_);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const QPixmap& face = frame.front ? picForward_ : picBackward_;
        if (frame.width > 0)
            p.drawPixmap(QRect(frame.x, 0, frame.width, face.height()), face);
    }
    picDisplay->setPixmap(picBuffer_);
    angle_ = nextLogoAngle(angle_);
}

} // namespace tessivar::ui
