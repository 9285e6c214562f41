#include "WindowMemory.h"

#include "store/ui/DataGrid.h"
#include "store/ui/Page.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QWidget>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The key of a splitter or grid: its page's class and its place among the page's own of that kind,
// which stay the same from run to run while the pages are built the same way.
template <typename Part> QList<QPair<QString, Part*>> namedParts(const QWidget& window, const QString& kind)
{
    QList<QPair<QString, Part*>> result;
    for (Page* page : window.findChildren<Page*>()) {
        QList<Part*> parts = page->findChildren<Part*>();
        // A dialog made later in the run is a window of its own, not part of the main window's layout.
        parts.removeIf([&window](const Part* part) { return part->window() != &window; });
        for (int i = 0; i < parts.size(); ++i)
            result.append(
                {u"%1/%2/%3"_s.arg(kind, QString::fromLatin1(page->metaObject()->className())).arg(i),
                 parts[i]});
    }
    return result;
}

QScreen* screenNamed(const QString& name)
{
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen->name() == name)
            return screen;
    }
    return nullptr;
}

} // namespace

QRect WindowMemory::keptInside(const QRect& frame, const QRect& available)
{
    QRect result(frame.topLeft(), frame.size().boundedTo(available.size()));
    result.moveLeft(std::clamp(result.left(), available.left(), available.right() - result.width() + 1));
    result.moveTop(std::clamp(result.top(), available.top(), available.bottom() - result.height() + 1));
    return result;
}

bool WindowMemory::restore(QWidget& window)
{
    restoreParts(window);
    const QRect geometry = m_settings.value(u"window/geometry"_s).toRect();
    QScreen* screen = screenNamed(m_settings.value(u"window/screen"_s).toString());
    if (!geometry.isValid() || !screen)
        return false;
    // The frame the window manager added last time (none before the window was ever shown) is kept on
    // the screen with the window, so the title bar can still be reached.
    const QRect frame = m_settings.value(u"window/frame"_s, geometry).toRect();
    const QMargins margins(geometry.left() - frame.left(), geometry.top() - frame.top(),
                           frame.right() - geometry.right(), frame.bottom() - geometry.bottom());
    const QRect placed = keptInside(frame, screen->availableGeometry()) - margins;
    window.setGeometry(placed);
    if (m_settings.value(u"window/maximised"_s).toBool())
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    return true;
}

void WindowMemory::save(const QWidget& window)
{
    saveParts(window);
    if (!window.screen())
        return;
    const bool maximised = window.isMaximized();
    // The size to come back to from maximised is the one the user gave it.
    const QRect geometry = maximised ? window.normalGeometry() : window.geometry();
    const QMargins frame(window.geometry().left() - window.frameGeometry().left(),
                         window.geometry().top() - window.frameGeometry().top(),
                         window.frameGeometry().right() - window.geometry().right(),
                         window.frameGeometry().bottom() - window.geometry().bottom());
    m_settings.setValue(u"window/screen"_s, window.screen()->name());
    m_settings.setValue(u"window/geometry"_s, geometry);
    m_settings.setValue(u"window/frame"_s, geometry + frame);
    m_settings.setValue(u"window/maximised"_s, maximised);
}

void WindowMemory::restoreParts(QWidget& window)
{
    for (const auto& [key, splitter] : namedParts<QSplitter>(window, u"splitters"_s)) {
        const QByteArray state = m_settings.value(key).toByteArray();
        if (!state.isEmpty())
            splitter->restoreState(state);
    }
    for (const auto& [key, grid] : namedParts<DataGrid>(window, u"columns"_s))
        restoreWidths(key, *grid);
}

void WindowMemory::restoreWidths(const QString& key, DataGrid& grid)
{
    const QVariantMap stored = m_settings.value(key).toMap();
    QHash<QString, int> widths;
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        if (it.value().toInt() > 0)
            widths.insert(it.key(), it.value().toInt());
    }
    if (!widths.isEmpty())
        grid.setUserWidths(widths);
}

void WindowMemory::saveWidths(const QString& key, const DataGrid& grid)
{
    const QHash<QString, int> widths = grid.userWidths();
    if (widths.isEmpty()) {
        m_settings.remove(key);
        return;
    }
    QVariantMap stored;
    for (auto it = widths.cbegin(); it != widths.cend(); ++it)
        stored.insert(it.key(), it.value());
    m_settings.setValue(key, stored);
}

void WindowMemory::rememberDialogGrids(QObject* owner)
{
    // Watches the whole program: dialogs are made by the pages, at any time.
    class DialogWatch : public QObject
    {
    public:
        DialogWatch(WindowMemory memory, QObject* owner) : QObject(owner), m_memory(memory) {}

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            const bool shown = event->type() == QEvent::Show;
            if (!shown && event->type() != QEvent::Hide)
                return false;
            auto* dialog = qobject_cast<QDialog*>(watched);
            if (!dialog)
                return false;
            QList<DataGrid*> grids = dialog->findChildren<DataGrid*>();
            grids.removeIf([dialog](const DataGrid* grid) { return grid->window() != dialog; });
            for (int i = 0; i < grids.size(); ++i) {
                const QString key =
                    u"dialogs/%1/%2"_s.arg(QString::fromLatin1(dialog->metaObject()->className())).arg(i);
                if (shown)
                    m_memory.restoreWidths(key, *grids[i]);
                else
                    m_memory.saveWidths(key, *grids[i]);
            }
            return false;
        }

    private:
        WindowMemory m_memory;
    };
    QCoreApplication::instance()->installEventFilter(new DialogWatch(*this, owner));
}

void WindowMemory::saveParts(const QWidget& window)
{
    for (const auto& [key, splitter] : namedParts<QSplitter>(window, u"splitters"_s))
        m_settings.setValue(key, splitter->saveState());
    for (const auto& [key, grid] : namedParts<DataGrid>(window, u"columns"_s))
        saveWidths(key, *grid);
}
