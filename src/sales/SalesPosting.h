#pragma once

#include "warehouse/DeletionChoice.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <functional>

class UserPrompts;

// What posting the open documents of a period did.
struct PeriodPosting
{
    bool ok = true;         // false: a document was refused (told through the prompts) or reading failed
    bool cancelled = false; // stopped by its progress before a document
    int open = 0;           // open documents in the period
    int posted = 0;         // of them, posted by this run
    int alreadyPosted = 0;  // documents of the period that were posted before
    // The document refused, as the user knows it: its number, name and date.
    qlonglong failedKey = 0;
    QString failedName;
    QDate failedDate;
};

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

    // n documents of total done; false stops before the next one.
    using Progress = std::function<bool(int n, int total)>;
    // Posts the open documents dated within the period, in date order, each its own posting as on the
    // page: a refusal stops the run, and the documents posted before it stay posted.
    PeriodPosting postPeriod(const QDate& start, const QDate& end, qlonglong partner,
                             const Progress& progress = {});
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
