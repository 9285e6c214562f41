#pragma once

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QTimer>

class QWidget;

// Types text a key at a time, press and release; QTest::keyClicks takes only Latin letters.
void typeText(QWidget* widget, const QString& text);

// One part of a written .xlsx file (for example "xl/worksheets/sheet1.xml"), read with unzip.
QByteArray xlsxPart(const QString& file, const QString& part);

// From a worker's operation: presses "Отмена" of the progress window runInWorker shows, on the window's
// thread, and returns once it is pressed.
void pressCancelOnWindowThread();

// Runs the actions on the next modal dialog of the type once it shows, then closes it if the actions
// left it open. It waits for the dialog, since a dialog opened after another shows only when the
// first one's event loop has ended.
template <typename Dialog, typename Actions> void onNextDialog(Actions actions)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, actions] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        actions(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    timer->start();
}
