// Remarks mode on the main window: the remark editor and its "!" button on the tool bar, and the
// read-only window of the document as it stands.

#include "ui/MainWindow.h"

#include "app/Remarks.h"

#include <QAction>
#include <QEvent>
#include <QPlainTextEdit>
#include <QTextBrowser>
#include <QToolBar>

#include <functional>

namespace kvui {

namespace {
// Closing the document window by its title bar is "Show / Hide Document" unchecked.
class CloseWatcher final : public QObject {
public:
    CloseWatcher(QObject* parent, std::function<void()> closed)
        : QObject(parent)
        , closed_(std::move(closed))
    {
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            closed_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> closed_;
};
} // namespace

void MainWindow::buildRemarks()
{
    // The editor and its "!" button have a tool bar row of their own: at the end of the speed
    // buttons they would go behind the tool bar's overflow button in a window of ordinary width.
    addToolBarBreak();
    QToolBar* bar = addToolBar(QStringLiteral("Remark"));
    bar->setObjectName(QStringLiteral("RemarkBar"));
    bar->setVisible(false);
    remarkEditor_ = new QPlainTextEdit(bar);
    remarkEditor_->setObjectName(QStringLiteral("RemarkEditor"));
    remarkEditor_->setFixedSize(433, 89);
    remarkEditor_->setPlainText(QString::fromLatin1(kv::kRemarkEditorInitialText));
    remarkEditorAction_ = bar->addWidget(remarkEditor_);
    remarkEditorAction_->setVisible(false);
    QAction* save
        = addButton(kv::ctl::RemarkButton, QStringLiteral("!"), "Save Remark|Append the remark to the event log",
            [this] { command(QLatin1String(kv::ctl::SaveRemark1))->trigger(); });
    speedPanel_->removeAction(save);
    bar->addAction(save);

    documentWindow_ = new QTextBrowser(this);
    documentWindow_->setWindowFlag(Qt::Window);
    documentWindow_->setObjectName(QStringLiteral("RemarksDocumentWindow"));
    documentWindow_->setReadOnly(true);
    documentWindow_->resize(640, 600);
    documentWindow_->hide();
    documentWindow_->installEventFilter(new CloseWatcher(documentWindow_, [this] {
        if (controller_->remarks().editor().documentShown && !refreshing_) {
            run([this] { controller_->remarks().ShowHideDocument1Click(); });
        }
    }));
}

void MainWindow::refreshRemarks()
{
    const kv::RemarkEditorState& editor = controller_->remarks().editor();
    const bool appearing = editor.visible && !remarkEditorAction_->isVisible();
    remarkEditorAction_->setVisible(editor.visible);
    if (auto* bar = findChild<QToolBar*>(QStringLiteral("RemarkBar"));
        bar && bar->isVisibleTo(this) != editor.visible) {
        bar->setVisible(editor.visible);
    }
    for (const char* name : { kv::ctl::RemarkButton, kv::ctl::SaveRemark1, kv::ctl::DiscardRemark }) {
        if (QAction* action = command(QLatin1String(name))) {
            action->setVisible(editor.visible);
        }
    }
    // The editor is filled when the state brings new text; what the user types stays otherwise.
    if (editor.text != remarkTextShown_) {
        remarkTextShown_ = editor.text;
        QString text = QString::fromLatin1(editor.text.c_str());
        remarkEditor_->setPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        remarkEditor_->moveCursor(QTextCursor::End);
    }
    if (appearing) {
        remarkEditor_->setFocus(); // once, so that the user can type the remark at once
    }

    const kv::RemarksDocument* document = controller_->remarks().document();
    // Enabled only while the document is open (also before remarks mode was ever switched on).
    command(QLatin1String(kv::ControlName(kv::Control::ShowHideDocument1)))
        ->setEnabled(state_.app.RemarksMode && document != nullptr);
    const QString caption = document != nullptr
        ? QStringLiteral("Remarks - ") + QString::fromLocal8Bit(document->path().c_str())
        : QStringLiteral("Remarks");
    documentWindow_->setWindowTitle(caption);
    if (editor.documentShown && document != nullptr) {
        // Rebuilt only when something was appended: the pictures are encoded each time.
        const auto items = static_cast<qulonglong>(document->items().size());
        if (!documentWindow_->isVisible() || documentWindow_->property("items").toULongLong() != items) {
            documentWindow_->setProperty("items", items);
            documentWindow_->setHtml(QString::fromLatin1(document->Html().c_str()));
            documentWindow_->moveCursor(QTextCursor::End);
        }
        documentWindow_->show();
    } else {
        documentWindow_->hide();
    }
}

} // namespace kvui
