#pragma once

#include "PointOfSale.h"
#include "sales/SalesDocuments.h"

#include <QIODevice>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>

class UserPrompts;

// The receipt of sales from the point-of-sale programs as a new open sales document. The whole file
// is read and checked first (every key, price, quantity, dish and menu); only then are the document
// and its lines stored, in one transaction. A refusal stores nothing and writes no file.
class SalesReceipt
{
public:
    static const QString damaged;

    SalesReceipt(QSqlDatabase db, UserPrompts& prompts) : m_db(std::move(db)), m_prompts(prompts) {}

    // The sales summary file of the sibling program; the new document's key.
    std::optional<qlonglong> receiveSummary(QIODevice& file);
    // The sales table of Torg Service, summed per product code; the new document's key. A table with
    // no row, or no row with a valid code, or without a date in its first row, makes no document.
    std::optional<qlonglong> receiveTorgTable(QIODevice& file);
    // The sales file of the program: the summary or the table.
    std::optional<qlonglong> receive(PointOfSale program, QIODevice& file);

private:
    struct Line
    {
        qlonglong dish;
        double price;
        double portions;
    };
    // The group of every dish, or nothing for the first dish that is missing (its index in *missing).
    std::optional<QList<qlonglong>> groupsOf(const QList<qlonglong>& dishes, qsizetype* missing,
                                             QString* error);
    // Reads every line's dish group and stores the document in one transaction; a dish that is gone is
    // said by missingDish (its line's index) in *error and stores nothing.
    std::optional<qlonglong> store(const SalesDocuments::ReceivedDocument& document, const QList<Line>& lines,
                                   const std::function<QString(qsizetype)>& missingDish, QString* error);
    void warn(const QString& text);
    // A document name over its field's length is stored cut; the user is told.
    void reportCutName(const QString& name);

    QSqlDatabase m_db;
    UserPrompts& m_prompts;
};
