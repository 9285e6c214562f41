#include "PageFixture.h"

#include <QTest>

QString showPage(Page& page, QSqlDatabase db)
{
    QString error;
    if (!page.openViews(db, &error))
        return error.isEmpty() ? QStringLiteral("the views did not open") : error;
    page.show();
    if (!QTest::qWaitForWindowActive(&page))
        return QStringLiteral("the page did not become the active window");
    return {};
}
