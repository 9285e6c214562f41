#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class HelpWindow;
class QWidget;

// F1 anywhere in the program, an open dialog included, shows the help of the page being worked on.
// A shortcut would not do: one of the main window does not fire while a modal dialog is open.
class HelpKey : public QObject
{
    Q_OBJECT
public:
    // currentPage gives the page whose help F1 shows; the help window belongs to owner.
    HelpKey(QWidget* owner, std::function<QWidget*()> currentPage);
    ~HelpKey() override;

    void showHelp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_owner;
    std::function<QWidget*()> m_currentPage;
    // Made again when a dialog it was shown over took it along when it closed.
    QPointer<HelpWindow> m_window;
};
