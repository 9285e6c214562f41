#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <optional>

class UserPrompts;

// What the transfer writes into the counted quantity ("Выбор").
enum class CountedStart
{
    Zero,   // "В колонку "фактическое кол-во" записать 0"
    Balance // "В колонку "фактическое кол-во" записать кол-во по документам"
};

// Stock-takings: an inventory document (`invdok`, state 0 new, 1 stock transferred, 2 posted) with one
// line per ingredient (`inv`). Posting sets every listed balance and price to the counted figures and
// writes each difference as a posted movement of one warehouse document "Инвентаризация"; with
// clearing, every warehouse document and every movement line goes first. Each operation is one
// transaction; a line whose ingredient is gone (or that names none) refuses the posting, naming it.
class InventoryDocuments
{
public:
    static constexpr double transferred = 1;
    static constexpr double posted = 2;

    InventoryDocuments(QSqlDatabase db, UserPrompts& prompts) : m_db(std::move(db)), m_prompts(prompts) {}

    // The short name of every unit, by key, for the lines' "Ед.изм.".
    QHash<qlonglong, QString> unitNames() const;

    // The state of a document; 0 for an empty state or a document that is gone.
    double state(qlonglong document) const;

    // "Удалить документ": confirmed, then the lines and the document; nothing the posting wrote to the
    // warehouse is undone.
    bool remove(qlonglong document);
    // "Удалить нулевые": the lines whose counted quantity is 0 or empty.
    bool deleteZeroLines(qlonglong document);
    // "Перенести состояние склада": refused without a document or for one not new; the choice is asked
    // (it cannot be cancelled) only after those checks.
    bool transfer(qlonglong document, const std::function<CountedStart()>& choose);
    // "Провести на склад": the confirmations, then the posting in one transaction.
    bool post(qlonglong document);
    // The posting itself, without questions.
    bool post(qlonglong document, bool clearHistory, QString* error);
    // A new document as its grid makes it, and a line's counted quantity as typed into the lines'
    // grid (the demo kitchen's count), inside the caller's transaction.
    std::optional<qlonglong> addDocument(const QString& date, const QString& name, QString* error);
    bool setCounted(qlonglong line, double counted, QString* error);

private:
    // The posting's work, inside the transaction post() runs it in.
    bool postLines(qlonglong document, bool clearHistory, QString* error);

    QSqlDatabase m_db;
    UserPrompts& m_prompts;
};
