#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QWidget>

class QAction;
class TableModel;

// A page of the main window. The main window opens the pages' views at the first page change, tells
// a page when it is shown and hidden, and asks every page to post its pending edits at exit.
//
// Other workstations write the same kitchen, and other pages write what this one shows: a page reads
// its views again when it is shown, on "Обновить" (F5) and after each of its operations that wrote.
class Page : public QWidget
{
    Q_OBJECT
public:
    explicit Page(QWidget* parent = nullptr);

    // Opens the views the page keeps for the whole run; false with the store's message.
    virtual bool openViews(QSqlDatabase db, QString* error)
    {
        Q_UNUSED(db);
        Q_UNUSED(error);
        return true;
    }
    virtual void closeViews() {}
    // A page that keeps its views open reads them again; one that opens them here reads them anyway.
    virtual void pageShown() { refreshViews(); }
    virtual void pageHidden() {}
    // Posts what the user typed and has not posted yet; called before exit.
    virtual void postPending() {}

    // Posts the pending edits, then reads every open view of the page again, each keeping its current
    // row (and the grid its column) where the row still exists, else taking the row now in its place,
    // as after a deletion. A refused post stops it, the refusal told, nothing read.
    void refreshViews();
    // "Обновить" (F5) of the page, which the main window's menu shows while the page is current.
    QAction* refreshAction() const { return m_refresh; }

    // Tells the main window's status bar what a finished operation did; from is the page, or a dialog
    // or any widget inside it. Nothing is told from outside a page.
    static void report(QWidget* from, const QString& message);
    // The same for a print-out: the path ReportOutput::show returned, nothing when none was written.
    static void reportPrintout(QWidget* from, const QString& path);

Q_SIGNALS:
    void operationReported(const QString& message);

protected:
    // The views the page shows, each master before its details.
    virtual QList<TableModel*> views() const { return {}; }

private:
    bool postView(TableModel* view);

    QAction* m_refresh;
};
