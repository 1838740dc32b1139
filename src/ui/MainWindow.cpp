#include "ui/MainWindow.h"

#include "core/Lifecycle.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>

namespace kvui {

namespace {
QString Text(const std::string& latin1) { return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size())); }
} // namespace

MainWindow::MainWindow(kv::ProgramState& state, kv::Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), state_(state), prompter_(prompter)
{
    setWindowTitle(QStringLiteral("KVFree"));
    setCentralWidget(new QMdiArea(this));

    auto* fileMenu = menuBar()->addMenu(tr("&File"));
    fileMenu->addAction(tr("E&xit"), this, &QWidget::close);

    statusLine_ = new QLabel(this);
    statusLine_->setObjectName(QStringLiteral("StatusLine"));
    posnPanel_ = new QLabel(this);
    posnPanel_->setObjectName(QStringLiteral("PosnPanel"));
    timePanel_ = new QLabel(this);
    timePanel_->setObjectName(QStringLiteral("TimePanel"));
    statusBar()->addWidget(statusLine_, 1);
    statusBar()->addPermanentWidget(posnPanel_);
    statusBar()->addPermanentWidget(timePanel_);
    resize(1024, 768);
    refresh();
}

void MainWindow::refresh()
{
    statusLine_->setText(Text(state_.display.StatusLine));
    posnPanel_->setText(Text(state_.display.PosnPanel));
    timePanel_->setText(Text(state_.display.TimePanel));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (kv::FormCloseQuery(state_, prompter_)) {
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace kvui
