#pragma once

#include "reports/ui/DesktopSpreadsheetLauncher.h"
#include "sales/ConsumptionCalculator.h"
#include "store/ui/Page.h"
#include "store/UserPrompts.h"

#include <QDate>

#include <functional>
#include <memory>
#include <optional>

class DataGrid;
class DocumentDeletionDialog;
class QBoxLayout;
class QCalendarWidget;
class QDateEdit;
class QProgressBar;
class QPushButton;
class SalesPrintChoiceDialog;
class SummaryPeriodDialog;
class TableModel;

// "Реализация": the sales documents by date, the sold dishes of the current one, and the operations on
// them. A document below status 5 counts as posted: its lines and first three columns are read-only.
// Lines come only from the document's menu; the hidden calculation is calculateConsumption().
class SalesPage : public Page
{
    Q_OBJECT
public:
    // Dates are asked through the given prompt, or through the dialog "Дата" when none is given.
    explicit SalesPage(UserPrompts* prompts, DatePrompt* dates = nullptr, QWidget* parent = nullptr);
    ~SalesPage() override;

    bool openViews(QSqlDatabase db, QString* error) override;
    void closeViews() override;
    void pageShown() override;
    void pageHidden() override;
    void postPending() override;

    void setClock(const Clock* clock) { m_clock = clock; }
    void setSpreadsheetLauncher(SpreadsheetLauncher* launcher) { m_launcher = launcher; }

    // "Приём из": a new sales document from the point-of-sale program, its key or nothing; the exchange
    // lives above the sales, so the main window plugs it in. Unset, the button does nothing.
    using SalesReceiver =
        std::function<std::optional<qlonglong>(QWidget* parent, QSqlDatabase db, UserPrompts& prompts)>;
    void setSalesReceiver(SalesReceiver receiver) { m_receiveSales = std::move(receiver); }
    // The main window's die, shown at the end of the button row.
    void placeDie(QWidget* die);

    // "Новый документ": a new row whose date is asked at once; cancelled, nothing is stored.
    void newDocument();
    // Moves to the first document dated on or after the date.
    void jumpToDate(const QDate& date);
    // The date column's ellipsis: a calendar over the grid; a chosen date is stored at once.
    void openDatePopup();
    void acceptDocumentDate(const QDate& date);
    void chooseMenu();
    void fillFromMenu();
    void searchLines();
    // The hidden "Расчёт": the consumption of the current document; false when refused or failed (the
    // user has been told why).
    bool calculateConsumption(SalesLines lines);
    // "Печать": the current document as tables or as the cross table.
    void printDocument();
    // "Свод": the documents of a period summed up.
    void printSummary();
    // "Проводка": the partner is chosen, then the document is posted into the warehouse as one whole.
    void postDocument();
    // "Проводка за период": the open documents of a period posted one by one on a worker, with progress
    // and "Отмена" (which leaves all of them open).
    void postPeriod();
    // "Удаление документа": the current document or a period, after the dialog and the confirmation.
    void deleteDocuments();

    DataGrid* documentGrid() const { return m_documentGrid; }
    DataGrid* lineGrid() const { return m_lineGrid; }
    TableModel* documents() const { return m_documents; }
    TableModel* lines() const { return m_lines; }
    QPushButton* newButton() const { return m_new; }
    QPushButton* chooseButton() const { return m_choose; }
    QPushButton* fillButton() const { return m_fill; }
    QPushButton* searchButton() const { return m_search; }
    QPushButton* postButton() const { return m_post; }
    QPushButton* postPeriodButton() const { return m_postPeriod; }
    SummaryPeriodDialog* postingPeriodDialog() const { return m_postingPeriod; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* summaryButton() const { return m_summary; }
    QPushButton* deleteButton() const { return m_delete; }
    QDateEdit* jumpDateEdit() const { return m_jumpDate; }
    QCalendarWidget* datePopup() const { return m_datePopup; }
    QProgressBar* busyBar() const { return m_busy; }
    bool documentIsOpen() const;

protected:
    QList<TableModel*> views() const override { return {m_documents, m_lines}; }

private:
    void createViews(QSqlDatabase db);
    bool postAll();
    void applyDocumentState();
    QVariant currentDocument() const;

    UserPrompts* m_prompts;
    std::unique_ptr<DatePrompt> m_ownDates;
    DatePrompt* m_dates;
    SystemClock m_systemClock;
    const Clock* m_clock = &m_systemClock;
    QSqlDatabase m_db;
    TableModel* m_documents = nullptr;
    TableModel* m_lines = nullptr;
    DataGrid* m_documentGrid;
    DataGrid* m_lineGrid;
    QPushButton* m_new;
    QDateEdit* m_jumpDate;
    QPushButton* m_choose;
    QPushButton* m_fill;
    QPushButton* m_summary;
    QPushButton* m_post;
    QPushButton* m_postPeriod;
    QPushButton* m_delete;
    QPushButton* m_print;
    QPushButton* m_search;
    QProgressBar* m_busy;
    QBoxLayout* m_dieSlot = nullptr;
    SalesReceiver m_receiveSales;
    QCalendarWidget* m_datePopup;
    SalesPrintChoiceDialog* m_printChoice;
    SummaryPeriodDialog* m_summaryPeriod;
    SummaryPeriodDialog* m_postingPeriod;
    DesktopSpreadsheetLauncher m_desktopLauncher;
    SpreadsheetLauncher* m_launcher = &m_desktopLauncher;
    DocumentDeletionDialog* m_deletion = nullptr;
};
