#pragma once

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

struct RowWrite;

// The history of ingredient prices (table Pricehist) and its one writer. Every writer of an
// ingredient's price records its changes here inside its own transaction, so that a change and its
// row are stored, or rolled back, together. A price written unchanged leaves no row.
class PriceHistory
{
public:
    // What changed a price, stored as its Russian text.
    enum class Source
    {
        Receipt,
        Repricing,
        Inventory,
        Edit,
        CardImport,
        NewIngredient,
        DishPriceRun,
        Composition
    };
    static QString text(Source source);

    struct Change
    {
        qlonglong ingredient = 0;
        QVariant oldPrice; // null for an empty price and for a new ingredient
        QVariant newPrice;
    };

    // A change made by a document carries its key and is dated by it; any other is dated by the day
    // it is made (a null day).
    explicit PriceHistory(QSqlDatabase db, Source source, QDate day = {}, QVariant document = {});

    // Whether a price is stored differently: an empty price and 0 are different values.
    static bool differs(const QVariant& oldPrice, const QVariant& newPrice);

    // One row for each change whose price differs; false with the driver's text in *error.
    bool record(const QList<Change>& changes, QString* error) const;

    // The grids over Ing (their views' AfterWrite): a post that changed Cena, or gave a new row one,
    // is a hand edit.
    static bool recordGridWrite(const QSqlDatabase& db, const RowWrite& write, QString* error);

private:
    QSqlDatabase m_db;
    Source m_source;
    QDate m_day;
    QVariant m_document;
};
