#pragma once

#include "CardFile.h"

#include <QIODevice>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

class UserPrompts;

// The association of the ingredients of an imported card with the kitchen's own ingredients: the
// window offers each one in turn and keeps the protocol; tests answer from a script.
class IngredientMatcher
{
public:
    virtual ~IngredientMatcher() = default;
    // A new import of the named dish starts: the protocol is cleared.
    virtual void startDish(const QString& dishName) = 0;
    virtual void addProtocolLine(const QString& line) = 0;
    // Offers one ingredient of the file with its unit; the key of the own ingredient the user
    // associated, nothing when the user refused the import.
    virtual std::optional<qlonglong> associate(const QString& offered, const QString& unit) = 0;
};

// "Экспортировать карточку" and "Импортировать карточку" of the page "Экспорт/Импорт".
class CardExchange
{
public:
    CardExchange(QSqlDatabase db, UserPrompts& prompts) : m_db(std::move(db)), m_prompts(prompts) {}

    // The chosen name with ".fck" appended unless it already ends so (in any letter case).
    static QString cardFileName(const QString& chosen);

    // The dish as the card file carries it; nothing, with the reason in *error, when it is gone.
    std::optional<CardFileContent> cardOf(qlonglong dish, QString* error) const;

    // Writes the dish to the file (".fck" added as needed), replacing an existing one, after refusing
    // a dish without recipe. Numbers take the given decimal separator. True when written.
    bool exportDish(const QVariant& dish, const QString& chosenFile, QChar decimalSeparator);

    // Imports a card file as a new dish of the group, in development. Every ingredient is associated
    // before anything is stored, and the dish with its card is stored in one transaction: a refused,
    // cancelled or failed import leaves nothing. Returns the new dish's key.
    std::optional<qlonglong> importCard(QIODevice& file, const QVariant& group, IngredientMatcher& matcher,
                                        QChar decimalSeparator);

    // A card read, checked, confirmed and associated, not stored yet.
    struct PreparedCard
    {
        CardFileContent card;
        QList<qlonglong> ingredients; // the own ingredient of each of the card's rows
    };
    // importCard's questions and checks, nothing stored: a refusal has been told.
    std::optional<PreparedCard> prepareCard(QIODevice& file, const QVariant& group,
                                            IngredientMatcher& matcher, QChar decimalSeparator);

    // Stores the prepared cards as new dishes of the group, all or none in one transaction, asking and
    // telling nothing. The progress hears n of N cards stored; false stops and stores nothing.
    using Progress = std::function<bool(int n, int total)>;
    struct Stored
    {
        QList<qlonglong> dishes; // the new dishes, one a card; empty when nothing was stored
        QString error;           // why nothing was stored; empty when cancelled
        bool cancelled = false;
    };
    Stored storeCards(const QVariant& group, const QList<PreparedCard>& cards, const Progress& progress = {});
    // The success importCard tells, for the cards stored.
    static QString importedText();

private:
    std::optional<qlonglong> store(const QVariant& group, const CardFileContent& card,
                                   const QList<qlonglong>& ingredients, QString* error);

    QSqlDatabase m_db;
    UserPrompts& m_prompts;
};
