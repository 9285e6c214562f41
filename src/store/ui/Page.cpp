#include "Page.h"

#include "DataGrid.h"
#include "store/TableModel.h"

#include <QAction>
#include <QDir>

#include <algorithm>

using namespace Qt::StringLiterals;

Page::Page(QWidget* parent) : QWidget(parent), m_refresh(new QAction(u"Обновить"_s, this))
{
    m_refresh->setShortcut(QKeySequence(Qt::Key_F5));
    m_refresh->setToolTip(u"Прочитать данные страницы заново, с изменениями других рабочих мест (F5)"_s);
    // A window shortcut of the page's own: only the page on view takes F5, so the hidden pages' keys
    // never make it ambiguous.
    addAction(m_refresh);
    connect(m_refresh, &QAction::triggered, this, &Page::refreshViews);
}

bool Page::postView(TableModel* view)
{
    // Through the grid that shows the view, so a cell still being edited is posted too.
    for (DataGrid* grid : findChildren<DataGrid*>()) {
        if (grid->tableModel() == view)
            return grid->postPending();
    }
    return view->postIfPending();
}

void Page::refreshViews()
{
    QList<TableModel*> open = views();
    open.removeIf([](const TableModel* view) { return !view || !view->isOpen(); });
    // Details first: posting a master reads its details again, which would post them unasked.
    for (auto view = open.crbegin(); view != open.crend(); ++view) {
        if (!postView(*view))
            return;
    }
    for (TableModel* view : open) {
        const QVariant key = view->currentKey();
        const int row = view->currentRow();
        if (!view->refresh())
            continue;
        if (!key.isNull() && view->rowOfKey(key) < 0 && row > 0)
            view->setCurrentRow(std::min(row, view->rowCount() - 1));
    }
}

void Page::report(QWidget* from, const QString& message)
{
    for (QWidget* w = from; w; w = w->parentWidget()) {
        if (auto* page = qobject_cast<Page*>(w)) {
            Q_EMIT page->operationReported(message);
            return;
        }
    }
}

void Page::reportPrintout(QWidget* from, const QString& path)
{
    if (!path.isEmpty())
        report(from, u"Печатная форма записана: %1"_s.arg(QDir::toNativeSeparators(path)));
}
