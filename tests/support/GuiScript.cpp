#include "GuiScript.h"

#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QByteArray xlsxPart(const QString& file, const QString& part)
{
    QProcess unzip;
    unzip.start(u"unzip"_s, {u"-p"_s, file, part});
    unzip.waitForFinished();
    return unzip.readAllStandardOutput();
}
