#include "HelpKey.h"

#include "HelpWindow.h"

#include <QApplication>
#include <QKeyEvent>

HelpKey::HelpKey(QWidget* owner, std::function<QWidget*()> currentPage)
    : QObject(owner), m_owner(owner), m_currentPage(std::move(currentPage))
{
    qApp->installEventFilter(this);
}

HelpKey::~HelpKey()
{
    qApp->removeEventFilter(this);
}

void HelpKey::showHelp()
{
    if (!m_window)
        m_window = new HelpWindow(m_owner);
    m_window->showTopic(HelpWindow::topicOf(m_currentPage()));
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
        static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier || !watched->isWidgetType())
        return false;
    // Only keys meant for this program's windows: another main window (in tests) has its own.
    const QWidget* window = static_cast<QWidget*>(watched)->window();
    if (window != m_owner && window->parentWidget() == nullptr)
        return false;
    showHelp();
    return true;
}
