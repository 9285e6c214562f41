#pragma once

#include "warehouse/DeletionChoice.h"

#include <QSqlDatabase>
#include <QString>

class UserPrompts;

// "Проводка" and "Удаление документа" of the sales page.
//
// Posting runs in one transaction, in this order: the lines with no portions (0 or empty) are deleted,
// the partner is written into every remaining line, the consumption is calculated once more, the
// document is marked posted (status 4), a posted warehouse document with the document's date, name and
// partner is written with one issue line per consumption row of a positive quantity (in the rows'
// order), and the warehouse issue posting lowers the balances. Any failure leaves everything as it was.
//
// Deleting removes documents with their lines and consumption rows, open or posted alike; it never
// touches the warehouse.
class SalesPosting
{
public:
    SalesPosting(QSqlDatabase db, UserPrompts& prompts) : m_db(std::move(db)), m_prompts(prompts) {}

    // Posts an open document to the partner (0 when the chooser's list was empty). False when refused
    // or failed; the user has been told why.
    bool post(qlonglong document, qlonglong partner);
    // The warehouse document the last successful posting wrote.
    qlonglong stockDocument() const { return m_stockDocument; }

    // Asks what DeletionChoice::confirm asks, then deletes the current document (none: nothing at all)
    // or every document dated within the period. The number deleted, -1 when cancelled or failed.
    int remove(const DeletionChoice& choice, const QVariant& current);

private:
    bool deleteDocument(qlonglong document, QString* error);

    QSqlDatabase m_db;
    UserPrompts& m_prompts;
    qlonglong m_stockDocument = 0;
};
