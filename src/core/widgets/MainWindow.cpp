#include "core/widgets/MainWindow.h"

#include "core/screens/Tfrm_Main.h"
#include "core/widgets/Artwork.h"
#include "core/widgets/Binder.h"
#include "core/widgets/FormDialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace lms {

namespace {

constexpr int kPanelWidths[] = {50, 100, 150, 100, 150};

// The background picture, stretched over the area between tool bar and status bar.
class BackgroundPicture : public QWidget {
public:
    explicit BackgroundPicture(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("Image1"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (picture_.size() != size())
            picture_ = Artwork::backgroundPicture(size());
        QPainter(this).drawPixmap(0, 0, picture_);
    }

private:
    QPixmap picture_;
};

} // namespace

MainWindow::MainWindow(Tfrm_Main& model, QWidget* parent) : QMainWindow(parent), model_(model) {
    setObjectName(model.objectName());
    setWindowTitle(model.caption());
    setWindowIcon(Artwork::applicationIcon());

    // The layout file holds the menu bar with its actions and the tool bar.
    QWidget* layout = loadLayout(QStringLiteral("frm_Main"), this);
    auto* source = qobject_cast<QMainWindow*>(layout);
    if (!source)
        qFatal("frm_Main layout is not a main window");
    // The actions belong to the loaded window; they move here with the bars that show them.
    for (QAction* action : source->findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly))
        action->setParent(this);
    setMenuBar(source->menuBar());
    auto* toolBar = source->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    addToolBar(Qt::TopToolBarArea, toolBar);
    toolBar->setIconSize(QSize(48, 48));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar->setMovable(false);
    for (const Tfrm_Main::ToolButton& button : Tfrm_Main::toolButtons()) {
        if (!button.menuItem)
            continue;
        auto* action = findChild<QAction*>(QString::fromUtf8(button.menuItem));
        if (!action)
            continue;
        action->setIcon(QIcon(Artwork::toolImage(button.image)));
        if (QWidget* tool = toolBar->widgetForAction(action)) {
            tool->setObjectName(QString::fromUtf8(button.name));
        }
    }
    layout->deleteLater();

    setCentralWidget(new BackgroundPicture(this));

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(status);
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel(status);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setMinimumWidth(kPanelWidths[i]);
        panel->setFrameShape(QFrame::StyledPanel);
        status->addWidget(panel, i == 4 ? 1 : 0);
    }

    binder_ = new Binder(model, *this);
    // Tool buttons carry their menu item's caption and follow its enabled state.
    for (const Tfrm_Main::ToolButton& button : Tfrm_Main::toolButtons()) {
        if (auto* tool = findChild<QToolButton*>(QString::fromUtf8(button.name)))
            tool->setAccessibleName(tool->defaultAction() ? tool->defaultAction()->text()
                                                          : QString());
    }

    clock_ = new QTimer(this);
    clock_->setObjectName(QStringLiteral("Timer1"));
    connect(clock_, &QTimer::timeout, this, [this] { model_.Timer1Timer(); });
    clock_->start(1000);
    resize(1024, 700);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    QApplication::exit(0);
}

} // namespace lms
