#pragma once

#include <QSqlDatabase>
#include <QWidget>

// A page of the main window. The main window opens the pages' views at the first page change, tells
// a page when it is shown and hidden, and asks every page to post its pending edits at exit.
class Page : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    // Opens the views the page keeps for the whole run; false with the store's message.
    virtual bool openViews(QSqlDatabase db, QString* error)
    {
        Q_UNUSED(db);
        Q_UNUSED(error);
        return true;
    }
    virtual void closeViews() {}
    virtual void pageShown() {}
    virtual void pageHidden() {}
    // Posts what the user typed and has not posted yet; called before exit.
    virtual void postPending() {}

    // Tells the main window's status bar what a finished operation did; from is the page, or a dialog
    // or any widget inside it. Nothing is told from outside a page.
    static void report(QWidget* from, const QString& message);
    // The same for a print-out: the path ReportOutput::show returned, nothing when none was written.
    static void reportPrintout(QWidget* from, const QString& path);

Q_SIGNALS:
    void operationReported(const QString& message);
};
