// The help window.

#include "ui/HelpWindow.h"

#include "app/HelpTopics.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPointer>
#include <QSplitter>
#include <QTextBrowser>

namespace kvui {

namespace {
QPointer<HelpWindow> g_help;
} // namespace

QString ManualFolder()
{
    return QStringLiteral(":/manual/");
}

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("KVFree Help"));
    auto* layout = new QHBoxLayout(this);
    auto* split = new QSplitter(this);
    index_ = new QListWidget(split);
    index_->setObjectName(QStringLiteral("HelpIndex"));
    for (const kv::HelpTopic& topic : kv::HelpTopics()) {
        auto* item = new QListWidgetItem(QString::fromStdString(topic.title), index_);
        item->setData(Qt::UserRole, topic.number);
    }
    browser_ = new QTextBrowser(split);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(true);
    browser_->setSearchPaths({ ManualFolder() });
    split->addWidget(index_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 1);
    layout->addWidget(split);
    connect(index_, &QListWidget::itemActivated, this,
        [this](QListWidgetItem* item) { showTopic(item->data(Qt::UserRole).toInt()); });
    connect(index_, &QListWidget::itemClicked, this,
        [this](QListWidgetItem* item) { showTopic(item->data(Qt::UserRole).toInt()); });
    resize(900, 650);
}

void HelpWindow::showTopic(int number)
{
    const kv::HelpTopic* topic = kv::FindHelpTopic(number);
    if (topic == nullptr) {
        topic = kv::FindHelpTopic(kv::kHelpContents);
    }
    browser_->setSource(QUrl(QStringLiteral("qrc") + ManualFolder() + QString::fromStdString(topic->page)),
        QTextDocument::MarkdownResource);
    for (int i = 0; i < index_->count(); ++i) {
        if (index_->item(i)->data(Qt::UserRole).toInt() == topic->number) {
            index_->setCurrentRow(i);
        }
    }
}

void HelpWindow::showIndex()
{
    showTopic(kv::kHelpContents);
    index_->setFocus();
}

HelpWindow* ShowHelp(QWidget* from, int number)
{
    // A window owned by a modal dialog stays usable while the dialog is open.
    QWidget* owner = from != nullptr ? from->window() : nullptr;
    if (g_help == nullptr || g_help->parentWidget() != owner) {
        delete g_help.data();
        g_help = new HelpWindow(owner);
        g_help->setAttribute(Qt::WA_DeleteOnClose);
    }
    g_help->showTopic(number);
    g_help->show();
    g_help->raise();
    g_help->activateWindow();
    return g_help;
}

HelpWindow* ShowHelpForActiveWindow(QWidget* fallback)
{
    QWidget* active = QApplication::activeModalWidget();
    if (active == nullptr) {
        active = QApplication::activeWindow();
    }
    if (active == nullptr) {
        active = fallback;
    }
    if (active != nullptr && active->objectName() == QStringLiteral("HelpWindow")) {
        return qobject_cast<HelpWindow*>(active);
    }
    const std::string name = active != nullptr ? active->objectName().toStdString() : std::string();
    return ShowHelp(active, kv::HelpTopicForWindow(name));
}

} // namespace kvui
