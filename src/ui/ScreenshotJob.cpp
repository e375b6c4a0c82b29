#include "ui/ScreenshotJob.h"

#include "ui/Console.h"
#include "ui/frmTree.h"
#include "ui/mdiMain.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

namespace tessivar::ui {

void scheduleScreenshot(Console& console, const QString& path) {
    // A bare X server has no window manager to maximise the window: fill the screen here.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        console.main().setGeometry(screen->availableGeometry());
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (frmTree* tree = console.tree()) {
        tree->tvTree->expandAll();
        if (QTreeWidgetItem* logging = tree->item("Logging")) {
            tree->tvTree->setCurrentItem(logging);
            tree->nodeClick(logging);
        }
        tree->tvTree->scrollToTop();
    }
    QTimer::singleShot(2500, &console.main(), [&console, path] {
        const QPixmap picture = console.main().grab();
        if (!picture.save(path))
            std::fprintf(stderr, "tessivar: cannot write %s\n", qPrintable(path));
        QApplication::quit();
    });
}

} // namespace tessivar::ui
