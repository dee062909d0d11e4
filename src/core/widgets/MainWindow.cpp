#include "core/widgets/MainWindow.h"

#include "core/screens/Tfrm_Main.h"
#include "core/widgets/Artwork.h"
#include "core/widgets/Binder.h"
#include "core/widgets/FormDialog.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace lms {

namespace {

constexpr int kPanelWidths[] = {50, 100, 150, 100, 150, 300};

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

MainWindow::MainWindow(Tfrm_Main& model) : model_(model) {
    QWidget* loaded = loadLayout(model.objectName(), nullptr);
    window_.reset(qobject_cast<QMainWindow*>(loaded));
    if (!window_)
        qFatal("the main window's layout is not a main window");
    QMainWindow& w = *window_;
    w.setWindowTitle(model.caption());
    w.setWindowIcon(Artwork::applicationIcon());

    auto* toolBar = w.findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    toolBar->setIconSize(QSize(48, 48));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar->setMovable(false);
    for (const Tfrm_Main::ToolButton& button : Tfrm_Main::toolButtons()) {
        if (!button.menuItem)
            continue;
        auto* action = w.findChild<QAction*>(QString::fromUtf8(button.menuItem));
        if (!action)
            qFatal("tool button %s has no menu item", button.name);
        action->setIcon(QIcon(Artwork::toolImage(button.image)));
        if (QWidget* tool = toolBar->widgetForAction(action))
            tool->setObjectName(QString::fromUtf8(button.name));
    }

    w.setCentralWidget(new BackgroundPicture(&w));

    auto* status = new QStatusBar(&w);
    status->setObjectName(QStringLiteral("StatusBar1"));
    w.setStatusBar(status);
    for (int i = 0; i < 6; ++i) {
        auto* panel = new QLabel(status);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setMinimumWidth(kPanelWidths[i]);
        panel->setFrameShape(QFrame::StyledPanel);
        status->addWidget(panel, i == 5 ? 1 : 0);
    }

    binder_ = new Binder(model, w);
    // Tool buttons carry their menu item's caption, also for screen readers.
    for (const Tfrm_Main::ToolButton& button : Tfrm_Main::toolButtons()) {
        if (auto* tool = w.findChild<QToolButton*>(QString::fromUtf8(button.name)))
            tool->setAccessibleName(tool->defaultAction()->text());
    }

    clock_ = new QTimer(this);
    clock_->setObjectName(QStringLiteral("Timer1"));
    connect(clock_, &QTimer::timeout, this, [this] { model_.Timer1Timer(); });
    clock_->start(1000);
    w.resize(1024, 700);
    w.installEventFilter(this);
}

MainWindow::~MainWindow() = default;

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // Closing the main window ends the program.
    if (watched == window_.get() && event->type() == QEvent::Close)
        QApplication::exit(0);
    return QObject::eventFilter(watched, event);
}

} // namespace lms
