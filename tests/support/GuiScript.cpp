#include "GuiScript.h"

#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
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

void pressCancelOnWindowThread()
{
    QMetaObject::invokeMethod(
        qApp,
        [] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* progress = qobject_cast<QProgressDialog*>(window);
                    progress && progress->isVisible())
                    progress->findChild<QPushButton*>()->click();
        },
        Qt::BlockingQueuedConnection);
}
