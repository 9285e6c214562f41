#pragma once

#include "StockValuation.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

class UserPrompts;

struct PartnerRow
{
    QString name;
    qlonglong key = 0;
};

// Receipt and issue documents of the warehouse: a header in `Doc` with its lines in `Move`. A document
// is prepared unposted and posted once, as a receipt or an issue; posting applies every line to the
// stored balance (and, for a receipt, the price) of its ingredient.
//
// Each posting is one transaction. Every line's ingredient is checked before anything is written: a
// line whose ingredient is gone refuses the whole posting with a message naming the line. The
// balances are computed in memory line by line (an ingredient on two lines sees the first), then
// written once per ingredient.
class StockDocuments
{
public:
    static constexpr const char* receipt = "P";
    static constexpr const char* issue = "R";

    StockDocuments(QSqlDatabase db, UserPrompts& prompts) : m_db(std::move(db)), m_prompts(prompts) {}

    // The document kind shown in "Тип": from the first line's `Oper`.
    static QString kindText(const QVariant& oper);

    // The partners whose name holds the text, case-insensitively (Cyrillic too), by name; all of them
    // for an empty text. The text is bound, so quotes and apostrophes are plain characters.
    QList<PartnerRow> partners(const QString& text, QString* error) const;

    bool isPosted(qlonglong document) const;
    // The kind of every document at once, for the document grid.
    QString kind(qlonglong document) const;

    // A line for the ingredient in an unposted document, with the document's date, number and partner
    // and the ingredient's price; refused with "Ошибка" for a document without a (still existing)
    // partner or for a semi-finished product. The new line's key, or nothing.
    std::optional<qlonglong> addLine(qlonglong document, qlonglong ingredient);

    // "Принять на склад" with the chosen price rule; false when refused or failed (the user was told).
    bool postReceipt(qlonglong document, PriceRule rule);
    // "Снять со склада"; asks "Подтвердите выдачу продуктов со склада !!!" when confirm is set.
    enum class Confirmation
    {
        Ask,
        None
    };
    bool postIssue(qlonglong document, Confirmation confirmation);

    // The issue posting of a document that another operation wrote and holds in its transaction (the
    // sales posting): applies the lines without asking and without checking the document's flag.
    bool applyIssue(qlonglong document, QString* error);

    // A document written whole and posted by another operation inside its own transaction (the
    // inventory, the sales posting): the header, then its lines in order. The balances are not
    // touched; the new document's key, or nothing with the driver's text in *error.
    struct Header
    {
        QVariant date;
        QVariant number;
        QVariant partner;
    };
    struct MoveLine
    {
        QVariant ingredient;
        QVariant quantity;
        QVariant price;
        const char* oper = issue;
    };
    // Prices each issue line from its ingredient's stock by the kitchen's valuation; a line whose
    // ingredient is gone keeps its price (the posting refuses it).
    bool priceIssue(std::vector<MoveLine>& lines, QString* error) const;
    std::optional<qlonglong> writePosted(const Header& header, const std::vector<MoveLine>& lines,
                                         QString* error);
    // A document not posted yet, as its grid makes it, and a line's quantity and price as typed into
    // the lines' grid (the demo kitchen's receipts), inside the caller's transaction.
    std::optional<qlonglong> addDocument(const Header& header, QString* error);
    bool setLine(qlonglong line, double quantity, double price, QString* error);
    // Deletes the document with its lines, inside the caller's transaction; with rollBack the lines of
    // a posted document are first taken back out of the balances.
    bool remove(qlonglong document, bool rollBack, QString* error);
    // Every document and line: the inventory that starts the history again.
    bool removeAll(QString* error);

private:
    bool apply(qlonglong document, const QString& oper, std::optional<PriceRule> rule, QString* error);
    bool post(qlonglong document, const QString& oper, std::optional<PriceRule> rule);

    QSqlDatabase m_db;
    UserPrompts& m_prompts;
};
