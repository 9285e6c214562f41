#include "Page.h"

#include <QDir>

using namespace Qt::StringLiterals;

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
