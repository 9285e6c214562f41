#pragma once

#include <optional>
#include <vector>

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

class UserPrompts;

// A line of a sales document as the context search lists it.
struct FoundSalesLine
{
    QString dish;
    double portions = 0;
    double price = 0;
    qlonglong document = 0;
    QString group;
    qlonglong line = 0;
};

// The operations of the page "Реализация" on a document and its lines: filling the lines from the
// document's menu, choosing another menu, the line sum and the context search over the lines. Each
// change runs in one transaction; refusals and questions go through the prompts.
class SalesDocuments
{
public:
    static constexpr double openStatus = 5;
    static constexpr double postedStatus = 4;

    SalesDocuments(QSqlDatabase db, UserPrompts& prompts) : m_db(std::move(db)), m_prompts(prompts) {}

    // A document is open only with a status of 5 or more; an empty status reads as 0, posted.
    static bool isOpen(const QVariant& status) { return status.toDouble() >= openStatus; }
    // Portions times the price of one portion, to the kopeck (halves to the even kopeck).
    static double lineSum(const QVariant& portions, const QVariant& price);

    // "Список блюд из меню": replaces the lines with the included items of the document's menu, after
    // asking when there are lines. False when refused, cancelled or failed (and then nothing changed).
    bool fillFromMenu(qlonglong document);
    // Before the menu chooser shows: refuses a posted document and asks when the document has lines.
    bool mayChangeMenu(qlonglong document);
    // After the chooser's OK: the document takes the menu and its date, and its lines are replaced by
    // the menu's included items, all in one transaction.
    bool useMenu(qlonglong document, qlonglong menu);

    // The document's lines whose dish name contains the text, without regard to case (Cyrillic too), in
    // dish name order. The text is a bound value: quotes and apostrophes are just characters.
    QList<FoundSalesLine> findLines(qlonglong document, const QString& text, QString* error) const;

    // The writes of other operations to sales documents and their lines. Each runs inside the caller's
    // transaction and returns false (nothing) with the driver's text in *error.
    struct ReceivedDocument
    {
        QVariant date;
        QVariant name;
        QVariant menu;
        QVariant menuDate;
    };
    struct ReceivedLine
    {
        QVariant group;
        QVariant dish;
        QVariant portions;
        QVariant price;
    };
    // A document received from a point-of-sale program, open, with its lines in order.
    static std::optional<qlonglong> addReceived(QSqlDatabase db, const ReceivedDocument& document,
                                                const std::vector<ReceivedLine>& lines, QString* error);
    // Before the posting's last calculation: the lines of no portions go, the others take the partner.
    static bool prepareForPosting(QSqlDatabase db, qlonglong document, qlonglong partner, QString* error);
    static bool setStatus(QSqlDatabase db, qlonglong document, double status, QString* error);
    // A line's portions sold, as typed into the lines' grid.
    static bool setPortions(QSqlDatabase db, qlonglong line, double portions, QString* error);
    // The document with its lines and its consumption rows.
    static bool remove(QSqlDatabase db, qlonglong document, QString* error);

private:
    struct DocumentState
    {
        bool found = false;
        bool open = false;
        QVariant menu;
        int lines = 0;
    };
    DocumentState state(qlonglong document, QString* error) const;
    // The state of a document that exists and is open; otherwise the user is told why, and nothing.
    std::optional<DocumentState> openDocument(qlonglong document);
    bool replaceLines(qlonglong document, const QVariant& menu, QString* error);
    void refusePosted();

    QSqlDatabase m_db;
    UserPrompts& m_prompts;
};
