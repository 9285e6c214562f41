#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <QList>

#include <optional>
#include <utility>
#include <vector>

class UserPrompts;

// What the buttons of the page "Калькуляционные карты" do to dish groups, dishes and their costing
// cards. Keys come from the grids: a null key means there is no current row, and then nothing is
// asked, shown or changed. Each operation runs in one transaction; a database failure is shown as a
// warning and changes nothing.
class DishCatalog
{
public:
    DishCatalog(QSqlDatabase db, UserPrompts& prompts) : m_db(std::move(db)), m_prompts(prompts) {}

    // "Удаление ингредиента": after confirmation deletes the card line. Lines of a finished dish are
    // frozen and stay. True when the line was deleted.
    bool deleteCardLine(const QVariant& cardLine);

    // "Удаление блюда": after confirmation deletes the dish with its card, unless an entry of any menu
    // refers to it. True when the dish was deleted.
    bool deleteDish(const QVariant& dish);

    // "Удаление группы блюд": after confirmation deletes every dish of the group that no menu uses,
    // with its card, and then the group if nothing was kept. True when the group was deleted; unused
    // dishes may have gone even when it is false.
    bool deleteDishGroup(const QVariant& group);

    // "Окончание разработки блюда": the dish's card and main figures are frozen from now on.
    bool finishDish(const QVariant& dish);

    // "Копировать блюдо": a new dish under development in the target group with the given name,
    // portions and markup as whole numbers, the yield text, and a copy of the card. A blank name
    // copies nothing. Returns the new dish's key.
    std::optional<qlonglong> copyDish(const QVariant& dish, const QString& newName,
                                      const QVariant& targetGroup);

    // A choice in the ingredient chooser: a new card line for the ingredient with a yield of 100 and
    // no grams yet. Refused (no line, no message) for a finished dish and for an ingredient that is not
    // a candidate. Returns the new line's key.
    std::optional<qlonglong> addCardLine(const QVariant& dish, const QVariant& ingredient);

    // A new dish with its card, as a copy or a card import makes it (under development) or the demo
    // kitchen fills one; a value left null is stored empty.
    struct NewDish
    {
        struct Line
        {
            QVariant copiedCode; // `KodIng`, kept only when a dish is copied
            QVariant ingredient;
            QVariant grams;
            QVariant yieldPercent;
        };
        QVariant group;
        QVariant name;
        QVariant extra;
        QVariant portions;
        QVariant markup;
        QVariant yield;
        QVariant recipe;
        QVariant serving; // the technological card's requirements for serving and for storage
        QVariant storage;
        std::vector<Line> lines;
        QVariant status; // null: under development
    };

    // The writes of other operations to dishes and cards. Each runs inside the caller's transaction
    // and returns false (nothing) with the driver's text in *error.
    static std::optional<qlonglong> addDish(QSqlDatabase db, const NewDish& dish, QString* error);
    // The dishes' prices, as the sales calculation finds them.
    static bool setPrices(QSqlDatabase db, const std::vector<std::pair<qlonglong, double>>& prices,
                          QString* error);
    // The print mark of each dish, as a print of the costing cards leaves it.
    static bool setPrintMarks(QSqlDatabase db, const QList<qlonglong>& dishes, const QString& mark,
                              QString* error);

    // Whether a group's order number, as a whole number, differs from the one remembered when the group
    // was shown or last posted.
    static bool groupOrderChanged(double remembered, double newOrder);

    // Before a group is posted: when its order number changed, every menu entry of the group takes the
    // new number as a whole number. True when the entries were rewritten.
    bool rewriteMenuGroupOrder(const QVariant& group, double remembered, double newOrder);

    // The candidates of the ingredient chooser, as a condition on Ing: every semi-finished product and
    // the ordinary ingredients priced above 0.
    static QString candidateCondition()
    {
        using namespace Qt::StringLiterals;
        return u"(Pf = 1 OR Cena > 0)"_s;
    }

private:
    // Shows the driver's text as a warning; always false, for "return".
    bool databaseError(const QString& error);

    QSqlDatabase m_db;
    UserPrompts& m_prompts;
};
