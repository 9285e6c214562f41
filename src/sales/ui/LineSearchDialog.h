#pragma once

#include "sales/SalesDocuments.h"

#include <QDialog>

class QLineEdit;
class QStandardItemModel;
class QTableView;

// "Контекстный поиск" over the lines of one sales document: each released key in the search field
// lists the lines whose dish name contains the text; OK (or a double click) takes the current line.
class LineSearchDialog : public QDialog
{
    Q_OBJECT
public:
    LineSearchDialog(SalesDocuments documents, qlonglong document, QWidget* parent = nullptr);

    // The key (`Nnn`) of the line current in the list when the dialog closed, 0 when the list is empty.
    qlonglong chosenLine() const;

    QLineEdit* searchEdit() const { return m_search; }
    QTableView* list() const { return m_list; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void search();

    SalesDocuments m_documents;
    qlonglong m_document;
    QLineEdit* m_search;
    QTableView* m_list;
    QStandardItemModel* m_model;
    QList<FoundSalesLine> m_found;
};
