#pragma once
// The help window: the user manual (bundled with the program) in a text browser, with the list
// of topics beside it. One window serves the whole program.

#include <QWidget>

class QListWidget;
class QTextBrowser;

namespace kvui {

class HelpWindow final : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Shows the page of topic `number` (the contents for an unknown number).
    void showTopic(int number);
    // Shows the topic list with the contents page.
    void showIndex();
    QTextBrowser* browser() const { return browser_; }
    QListWidget* index() const { return index_; }

private:
    QTextBrowser* browser_ = nullptr;
    QListWidget* index_ = nullptr;
};

// Where the manual's pages are found (a resource folder of the program).
QString ManualFolder();
// Opens help on topic `number` over `from` (a dialog or the main window), which stays usable.
HelpWindow* ShowHelp(QWidget* from, int number);
// F1: the topic of the active dialog or window.
HelpWindow* ShowHelpForActiveWindow(QWidget* fallback);

} // namespace kvui
