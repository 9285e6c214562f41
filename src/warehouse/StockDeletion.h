#pragma once

#include "DeletionChoice.h"

#include <QSqlDatabase>
#include <QString>

class UserPrompts;

// Deleting warehouse documents with their lines, the current one or every one of a period, each
// deletion in one transaction. With roll-back, the lines of a posted document are taken back out of
// the balances ("R" returns to stock, anything else leaves it); prices never change, unposted
// documents never touch a balance, and a line whose ingredient is gone is deleted without a balance.
class StockDeletion
{
public:
    StockDeletion(QSqlDatabase db, UserPrompts& prompts) : m_db(std::move(db)), m_prompts(prompts) {}

    // Asks what DeletionChoice::confirm asks, then deletes; current is the current document's key
    // (ignored for a period). The number of documents deleted, or -1 when refused, cancelled or failed.
    int remove(const DeletionChoice& choice, qlonglong current);

    // The deletion itself, without questions.
    bool deleteDocument(qlonglong document, bool rollBack, QString* error);
    int deletePeriod(const QDate& from, const QDate& to, bool rollBack, QString* error);

private:
    QSqlDatabase m_db;
    UserPrompts& m_prompts;
};
