#include "PageFixture.h"

#include <QTest>

using namespace Qt::StringLiterals;

QString showPage(Page& page, QSqlDatabase db)
{
    QString error;
    if (!page.openViews(db, &error))
        return error.isEmpty() ? u"the views did not open"_s : error;
    page.show();
    if (!QTest::qWaitForWindowActive(&page))
        return u"the page did not become the active window"_s;
    return {};
}
