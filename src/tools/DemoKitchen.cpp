#include "DemoKitchen.h"

#include "costing/DishCatalog.h"
#include "costing/DishCostCalculator.h"
#include "costing/DishViews.h"
#include "menus/MenuBook.h"
#include "reference/IngredientCatalog.h"
#include "reference/ReferenceViews.h"
#include "sales/SalesDocuments.h"
#include "sales/SalesPosting.h"
#include "store/Database.h"
#include "store/TableModel.h"
#include "store/UserPrompts.h"
#include "warehouse/InventoryDocuments.h"
#include "warehouse/StockDocuments.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>

#include <iterator>

using namespace Qt::StringLiterals;

namespace {

struct Unit
{
    const char* name;
    const char* shortName;
    double grams;
};

struct Ingredient
{
    const char* group;
    const char* name;
    const char* unit;
    double price; // roubles per unit
    double markup;
    double yield; // percent left after cleaning
    double stock; // in units
};

// One line of a composition or a costing card: net grams.
struct Part
{
    const char* ingredient;
    double grams;
};

// Composition per one kilogram of the product; the program computes its price.
struct SemiFinished
{
    const char* group;
    const char* name;
    Part parts[5];
};

// The card's grams are for all its portions.
struct Dish
{
    const char* group;
    const char* name;
    int portions;
    double markup;
    const char* yield;
    bool finished;
    const char* recipe;
    Part card[8];
};

struct MenuEntry
{
    const char* dish;
    double price;
};

struct MenuDef
{
    const char* name;
    bool released;
    const char* date;
    MenuEntry entries[10];
};

// clang-format off
// Tables written here; the sample goes only into a kitchen where all of them are empty.
const char* const filledTables[] = {"Edinica", "Gring",   "Ing",     "pf",      "Grbludo", "Bludo",
                                    "Karta",   "Menu",    "MenuSp",  "Partner", "Podpis"};

const Unit units[] = {
    {"Килограмм", "кг", 1000}, {"Грамм", "г", 1},         {"Литр", "л", 1000},
    {"Штука", "шт", 50},       {"Пачка", "пачка", 100},
};

const char* const ingredientGroups[] = {"Мясо и птица", "Овощи", "Молочные продукты", "Бакалея"};

const Ingredient ingredients[] = {
    {"Мясо и птица", "Говядина (лопатка)", "кг", 650.00, 0, 71, 12.5},
    {"Мясо и птица", "Свинина (окорок)", "кг", 480.00, 0, 85, 8},
    {"Мясо и птица", "Курица (тушка)", "кг", 260.00, 0, 75, 15},
    {"Мясо и птица", "Филе куриное", "кг", 420.00, 0, 100, 5},
    {"Мясо и птица", "Печень говяжья", "кг", 380.00, 10, 87, 0},
    {"Мясо и птица", "Сосиски молочные", "кг", 520.00, 0, 100, 3},
    {"Овощи", "Картофель", "кг", 45.00, 0, 75, 80},
    {"Овощи", "Морковь", "кг", 50.00, 0, 80, 20},
    {"Овощи", "Лук репчатый", "кг", 40.00, 0, 84, 15},
    {"Овощи", "Свёкла", "кг", 45.00, 0, 80, 12},
    {"Овощи", "Капуста белокочанная", "кг", 35.00, 0, 80, 25},
    {"Овощи", "Огурцы свежие", "кг", 180.00, 0, 95, 4},
    {"Овощи", "Огурцы солёные", "кг", 260.00, 0, 85, 3},
    {"Овощи", "Помидоры свежие", "кг", 220.00, 0, 85, 3},
    {"Овощи", "Чеснок", "кг", 300.00, 0, 78, 1},
    {"Овощи", "Укроп", "кг", 600.00, 15, 74, 0.5},
    {"Овощи", "Лимоны", "кг", 200.00, 0, 100, 2},
    {"Молочные продукты", "Молоко 2,5%", "л", 85.00, 0, 100, 20},
    {"Молочные продукты", "Сметана 20%", "кг", 320.00, 5, 100, 6},
    {"Молочные продукты", "Масло сливочное 82,5%", "кг", 950.00, 0, 100, 5},
    {"Молочные продукты", "Сыр российский", "кг", 750.00, 10, 100, 3},
    {"Молочные продукты", "Творог 9%", "кг", 420.00, 0, 100, 4},
    {"Молочные продукты", "Яйцо куриное", "шт", 12.00, 0, 88, 180},
    {"Молочные продукты", "Сливки 10%", "л", 230.00, 0, 100, 2},
    {"Бакалея", "Мука пшеничная", "кг", 55.00, 0, 100, 25},
    {"Бакалея", "Сахар-песок", "кг", 80.00, 0, 100, 30},
    {"Бакалея", "Соль поваренная", "кг", 25.00, 0, 100, 10},
    {"Бакалея", "Рис круглозёрный", "кг", 110.00, 0, 100, 10},
    {"Бакалея", "Крупа гречневая", "кг", 95.00, 0, 100, 15},
    {"Бакалея", "Макаронные изделия", "кг", 120.00, 0, 100, 12},
    {"Бакалея", "Лапша яичная", "кг", 180.00, 0, 100, 4},
    {"Бакалея", "Горох колотый", "кг", 70.00, 0, 100, 5},
    {"Бакалея", "Масло подсолнечное", "л", 150.00, 0, 100, 10},
    {"Бакалея", "Томатная паста", "кг", 260.00, 0, 100, 3},
    {"Бакалея", "Майонез", "кг", 280.00, 5, 100, 2},
    {"Бакалея", "Хлеб пшеничный", "кг", 90.00, 0, 100, 5},
    {"Бакалея", "Сухари панировочные", "кг", 160.00, 0, 100, 2},
    {"Бакалея", "Чай чёрный", "пачка", 120.00, 20, 100, 10},
    {"Бакалея", "Какао-порошок", "пачка", 250.00, 20, 100, 4},
    {"Бакалея", "Сухофрукты (смесь)", "кг", 350.00, 0, 100, 5},
    {"Бакалея", "Перец чёрный молотый", "г", 1.80, 0, 100, 200},
    {"Бакалея", "Лист лавровый", "г", 2.50, 0, 100, 50},
};

const SemiFinished semiFinished[] = {
    {"Мясо и птица",
     "Фарш мясной (ПФ)",
     {{"Говядина (лопатка)", 450},
      {"Свинина (окорок)", 340},
      {"Хлеб пшеничный", 100},
      {"Лук репчатый", 100},
      {"Соль поваренная", 10}}},
    {"Мясо и птица",
     "Бульон куриный (ПФ)",
     {{"Курица (тушка)", 350}, {"Морковь", 20}, {"Лук репчатый", 20}, {"Соль поваренная", 8}}},
};

const char* const dishGroups[] = {"Первые блюда", "Вторые блюда", "Салаты", "Напитки"};

const Dish dishes[] = {
    {"Первые блюда", "Борщ со сметаной", 10, 50, "250/10", true,
     "Свёклу нарезать соломкой и тушить с томатной пастой.\n"
     "В кипящий бульон положить капусту и картофель, варить 10 минут.\n"
     "Добавить свёклу, пассерованные морковь и лук, довести до готовности.\n"
     "Подавать со сметаной.",
     {{"Бульон куриный (ПФ)", 1800}, {"Свёкла", 400}, {"Капуста белокочанная", 300}, {"Картофель", 300},
      {"Морковь", 100}, {"Лук репчатый", 100}, {"Томатная паста", 60}, {"Сметана 20%", 100}}},
    {"Первые блюда", "Суп куриный с лапшой", 10, 50, "250", true,
     "Филе отварить в бульоне и нарезать кубиками.\n"
     "В кипящий бульон положить пассерованные морковь и лук, затем лапшу.\n"
     "Варить до готовности лапши, добавить филе и укроп.",
     {{"Бульон куриный (ПФ)", 2000}, {"Филе куриное", 300}, {"Лапша яичная", 200}, {"Морковь", 100},
      {"Лук репчатый", 80}, {"Укроп", 20}}},
    {"Первые блюда", "Щи из свежей капусты", 10, 50, "250/10", true,
     "Капусту нарезать шашками, картофель дольками.\n"
     "Капусту и картофель варить в воде 15 минут, добавить пассерованные овощи с томатом.\n"
     "Посолить и варить до готовности. Подавать со сметаной.",
     {{"Капуста белокочанная", 800}, {"Картофель", 400}, {"Морковь", 100}, {"Лук репчатый", 100},
      {"Томатная паста", 40}, {"Сметана 20%", 100}, {"Соль поваренная", 20}}},
    {"Первые блюда", "Суп гороховый", 10, 50, "250", true,
     "Горох замочить на 3 часа, варить со свининой до мягкости.\n"
     "Добавить картофель, пассерованные морковь и лук, лавровый лист.\n"
     "Посолить и варить до готовности картофеля.",
     {{"Горох колотый", 400}, {"Свинина (окорок)", 300}, {"Картофель", 600}, {"Морковь", 100},
      {"Лук репчатый", 100}, {"Соль поваренная", 20}, {"Лист лавровый", 2}}},
    {"Вторые блюда", "Котлета мясная", 10, 50, "100", true,
     "В фарш добавить яйцо, перемешать и сформовать котлеты.\n"
     "Запанировать в сухарях и обжарить с двух сторон.\n"
     "Довести до готовности в жарочном шкафу 5-7 минут.",
     {{"Фарш мясной (ПФ)", 1100}, {"Яйцо куриное", 100}, {"Сухари панировочные", 60},
      {"Масло подсолнечное", 80}}},
    {"Вторые блюда", "Макароны по-флотски", 10, 50, "250", true,
     "Макароны отварить в подсоленной воде и откинуть.\n"
     "Фарш обжарить с луком, посолить и поперчить.\n"
     "Соединить с макаронами и прогреть.",
     {{"Макаронные изделия", 800}, {"Фарш мясной (ПФ)", 1000}, {"Лук репчатый", 200},
      {"Масло подсолнечное", 100}, {"Соль поваренная", 20}, {"Перец чёрный молотый", 5}}},
    {"Вторые блюда", "Гуляш из говядины", 10, 50, "75/75", true,
     "Мясо нарезать кубиками по 20-30 г и обжарить.\n"
     "Добавить лук, томатную пасту и пассерованную муку, залить водой.\n"
     "Тушить 1-1,5 часа, за 10 минут до готовности положить лавровый лист.",
     {{"Говядина (лопатка)", 1000}, {"Лук репчатый", 250}, {"Томатная паста", 100}, {"Мука пшеничная", 50},
      {"Масло подсолнечное", 80}, {"Соль поваренная", 15}, {"Лист лавровый", 2}}},
    {"Вторые блюда", "Картофельное пюре", 10, 30, "150", true,
     "Картофель отварить, воду слить.\n"
     "Протереть горячим, добавить горячее молоко и масло, взбить.",
     {{"Картофель", 1300}, {"Молоко 2,5%", 250}, {"Масло сливочное 82,5%", 60}, {"Соль поваренная", 15}}},
    {"Вторые блюда", "Каша гречневая рассыпчатая", 10, 30, "150", true,
     "Крупу перебрать и промыть.\n"
     "Всыпать в кипящую подсоленную воду, варить до загустения.\n"
     "Довести в жарочном шкафу, заправить маслом.",
     {{"Крупа гречневая", 600}, {"Масло сливочное 82,5%", 60}, {"Соль поваренная", 15}}},
    {"Вторые блюда", "Курица запечённая", 10, 50, "150", true,
     "Тушку разрубить на порции, натереть солью, перцем и чесноком.\n"
     "Смазать сметаной и запекать при 180 градусах 40 минут.",
     {{"Курица (тушка)", 1500}, {"Сметана 20%", 150}, {"Чеснок", 20}, {"Соль поваренная", 20},
      {"Перец чёрный молотый", 5}}},
    {"Вторые блюда", "Сырники со сметаной", 10, 50, "150/20", true,
     "Творог протереть, добавить яйца, сахар и часть муки.\n"
     "Сформовать сырники, запанировать в муке и обжарить.\n"
     "Довести в жарочном шкафу, подавать со сметаной.",
     {{"Творог 9%", 1300}, {"Мука пшеничная", 150}, {"Яйцо куриное", 150}, {"Сахар-песок", 150},
      {"Масло подсолнечное", 100}, {"Сметана 20%", 200}}},
    {"Вторые блюда", "Омлет натуральный", 1, 50, "150", true,
     "Яйца соединить с молоком и солью, слегка взбить.\n"
     "Вылить на разогретую сковороду с маслом и довести в жарочном шкафу.",
     {{"Яйцо куриное", 100}, {"Молоко 2,5%", 50}, {"Масло сливочное 82,5%", 5}, {"Соль поваренная", 1}}},
    {"Салаты", "Салат из свежих овощей", 10, 50, "100", true,
     "Огурцы и помидоры нарезать дольками, лук кольцами.\n"
     "Перед подачей посолить, заправить маслом и посыпать укропом.",
     {{"Огурцы свежие", 400}, {"Помидоры свежие", 400}, {"Лук репчатый", 100}, {"Масло подсолнечное", 100},
      {"Укроп", 20}, {"Соль поваренная", 10}}},
    {"Салаты", "Винегрет овощной", 10, 50, "100", true,
     "Свёклу, картофель и морковь отварить в кожуре, очистить.\n"
     "Нарезать кубиками вместе с огурцами и луком.\n"
     "Заправить маслом перед подачей.",
     {{"Свёкла", 300}, {"Картофель", 250}, {"Морковь", 150}, {"Огурцы солёные", 200},
      {"Лук репчатый", 50}, {"Масло подсолнечное", 80}}},
    {"Салаты", "Салат из свёклы с чесноком", 10, 50, "100", true,
     "Свёклу отварить, очистить и натереть на крупной тёрке.\n"
     "Добавить толчёный чеснок, соль и майонез, перемешать.",
     {{"Свёкла", 800}, {"Чеснок", 20}, {"Майонез", 150}, {"Соль поваренная", 10}}},
    {"Салаты", "Салат «Цезарь» с курицей", 10, 50, "150", false,
     "Филе обжарить и нарезать ломтиками.\n"
     "Хлеб нарезать кубиками и подсушить.\n"
     "Соединить с помидорами, заправить соусом, посыпать тёртым сыром.",
     {{"Филе куриное", 600}, {"Помидоры свежие", 300}, {"Сыр российский", 150}, {"Хлеб пшеничный", 200},
      {"Майонез", 200}}},
    {"Напитки", "Чай с сахаром", 10, 50, "200/15", true,
     "Чай заварить кипятком и настоять 5-10 минут.\n"
     "Процедить, долить кипятком, сахар подать отдельно или положить в стакан.",
     {{"Чай чёрный", 10}, {"Сахар-песок", 150}}},
    {"Напитки", "Чай с лимоном", 10, 50, "200/15/7", true,
     "Чай заварить кипятком и настоять 5-10 минут.\n"
     "Лимон нарезать тонкими кружками и положить в стакан перед подачей.",
     {{"Чай чёрный", 10}, {"Сахар-песок", 150}, {"Лимоны", 80}}},
    {"Напитки", "Компот из сухофруктов", 10, 50, "200", true,
     "Сухофрукты перебрать и промыть.\n"
     "Залить горячей водой, добавить сахар и варить 20-30 минут.\n"
     "Охладить и настоять 10-12 часов.",
     {{"Сухофрукты (смесь)", 200}, {"Сахар-песок", 150}}},
    {"Напитки", "Какао с молоком", 10, 50, "200", false,
     "Какао смешать с сахаром, развести небольшим количеством кипятка.\n"
     "Влить горячее молоко и довести до кипения.",
     {{"Какао-порошок", 50}, {"Молоко 2,5%", 1000}, {"Сахар-песок", 150}}},
};

const MenuDef menus[] = {
    {"Обед на 7 декабря",
     true,
     "2026-12-07",
     {{"Борщ со сметаной", 95.00},
      {"Суп куриный с лапшой", 80.00},
      {"Котлета мясная", 110.00},
      {"Картофельное пюре", 55.00},
      {"Каша гречневая рассыпчатая", 45.00},
      {"Салат из свежих овощей", 70.00},
      {"Винегрет овощной", 60.00},
      {"Чай с сахаром", 25.00},
      {"Компот из сухофруктов", 35.00}}},
    {"Обед на 10 декабря",
     false,
     "2026-12-10",
     {{"Щи из свежей капусты", 85.50},
      {"Суп гороховый", 75.00},
      {"Гуляш из говядины", 165.00},
      {"Макароны по-флотски", 120.00},
      {"Курица запечённая", 140.00},
      {"Сырники со сметаной", 115.00},
      {"Салат из свёклы с чесноком", 50.00},
      {"Чай с лимоном", 30.00},
      {"Компот из сухофруктов", 35.00}}},
};

// clang-format on

QString text(const char* s)
{
    return QString::fromUtf8(s);
}

// Writes one row as its grid's post writes it: the view's conversions, limits and after-write rule (a
// price typed in goes into the price history). The row's key; 0 (never a key) with the reason in
// *error on failure.
qlonglong postRow(TableModel& view, const QList<std::pair<QString, QVariant>>& values, QString* error)
{
    bool ok = (view.isOpen() || view.open()) && view.append();
    for (const auto& [field, value] : values)
        ok = ok && view.setFieldValue(field, value);
    ok = ok && view.post();
    const qlonglong key = ok ? view.currentKey().toLongLong() : 0;
    if (key == 0)
        *error = u"Образец не записан: "_s + view.lastError();
    return key;
}

// A key of a row inserted earlier; 0 with an error for a name missing from the tables above.
qlonglong keyOf(const QHash<QString, qlonglong>& keys, const char* name, QString* error)
{
    const qlonglong key = keys.value(text(name));
    if (key == 0)
        *error = u"Образец ссылается на неизвестное «%1»."_s.arg(text(name));
    return key;
}

bool kitchenIsEmpty(QSqlDatabase& db, QString* error)
{
    QSqlQuery query(db);
    for (const char* table : filledTables) {
        if (!query.exec(u"SELECT EXISTS (SELECT 1 FROM %1)"_s.arg(QLatin1String(table))) || !query.next()) {
            *error = sqlErrorText(query.lastError());
            return false;
        }
        if (query.value(0).toBool()) {
            *error = u"Кухня уже заполнена (таблица %1): образец записывается только в пустую."_s.arg(
                QLatin1String(table));
            return false;
        }
    }
    return true;
}

// The operations' questions answered as a cook filling the sample would: OK to everything; a
// refusal or an error is kept as the reason the sample was not made.
class SamplePrompts : public UserPrompts, public DatePrompt
{
public:
    using UserPrompts::confirm;
    bool confirm(const QString&, const QString&, Default) override { return true; }
    void inform(const QString&, const QString&) override {}
    void warn(const QString&, const QString& text) override { reason = text; }
    int choose(const QString&, const QString&, const QStringList&) override { return 0; }
    std::optional<QDate> askDate(const QDate&) override { return date; }

    QString reason;
    QDate date;
};

bool fillAll(QSqlDatabase& db, QString* error)
{
    QHash<QString, qlonglong> unitKeys, ingGroupKeys, ingKeys, dishGroupKeys, dishKeys;
    QHash<qlonglong, qlonglong> dishGroupOf; // finished dish => its group
    QHash<qlonglong, int> groupNumber;       // dish group => its N
    const QVariant none;
    SamplePrompts prompts;

    // The rows only the grids write are posted through the grids' views, as a cook would type them.
    TableModel unitView(db, referenceviews::units());
    for (const Unit& u : units) {
        const qlonglong key = postRow(
            unitView, {{u"Name"_s, text(u.name)}, {u"Shorthame"_s, text(u.shortName)}, {u"Gramm"_s, u.grams}},
            error);
        if (key == 0)
            return false;
        unitKeys.insert(text(u.shortName), key);
    }
    TableModel groupView(db, referenceviews::ingredientGroups());
    for (const char* name : ingredientGroups) {
        if (!(ingGroupKeys[text(name)] = postRow(groupView, {{u"Name"_s, text(name)}}, error)))
            return false;
    }

    TableModel ingredientView(db, referenceviews::ingredients());
    const auto postIngredient = [&](qlonglong group, const char* name, qlonglong unit, bool semi,
                                    double price, double markup, double yield, double stock) {
        return postRow(ingredientView,
                       {{u"Kod"_s, group},
                        {u"Name"_s, text(name)},
                        {u"Edinica"_s, unit},
                        {u"Pf"_s, int(semi)},
                        {u"Cena"_s, price},
                        {u"Proc"_s, markup},
                        {u"Vih"_s, yield},
                        {u"Kolvo"_s, stock}},
                       error);
    };
    for (const Ingredient& i : ingredients) {
        const qlonglong group = keyOf(ingGroupKeys, i.group, error);
        const qlonglong unit = keyOf(unitKeys, i.unit, error);
        if (group == 0 || unit == 0)
            return false;
        if (!(ingKeys[text(i.name)] =
                  postIngredient(group, i.name, unit, false, i.price, i.markup, i.yield, i.stock)))
            return false;
    }
    // Components are looked up before the products join the map, so a composition can never name
    // a semi-finished product.
    const QHash<QString, qlonglong> plainKeys = ingKeys;
    IngredientCatalog catalog(db);
    TableModel compositionView(db, referenceviews::composition());
    if (!compositionView.open()) {
        *error = u"Образец не записан: "_s + compositionView.lastError();
        return false;
    }
    for (const SemiFinished& s : semiFinished) {
        const qlonglong group = keyOf(ingGroupKeys, s.group, error);
        if (group == 0)
            return false;
        const qlonglong product = postIngredient(group, s.name, unitKeys.value(u"кг"_s), true, 0, 0, 100, 0);
        if (product == 0)
            return false;
        ingKeys.insert(text(s.name), product);
        // Chosen in the composition chooser, then the grams typed into the composition grid.
        compositionView.setLinkValue(product);
        for (const Part& p : s.parts) {
            if (!p.ingredient)
                break;
            const qlonglong component = keyOf(plainKeys, p.ingredient, error);
            if (component == 0)
                return false;
            const QVariant line = catalog.chooseComponent(product, component, prompts);
            if (line.isNull()) {
                *error = u"Образец не записан (состав «%1»): %2"_s.arg(text(s.name), prompts.reason);
                return false;
            }
            compositionView.refresh();
            if (!compositionView.locateKey(line) || !compositionView.setFieldValue(u"Kolvo"_s, p.grams) ||
                !compositionView.post()) {
                *error = u"Образец не записан: "_s + compositionView.lastError();
                return false;
            }
        }
        if (!catalog.closeChooser(product, error))
            return false;
    }

    TableModel dishGroupView(db, dishviews::dishGroups());
    for (int n = 0; n < int(std::size(dishGroups)); ++n) {
        const qlonglong key =
            postRow(dishGroupView, {{u"Name"_s, text(dishGroups[n])}, {u"N"_s, n + 1}}, error);
        if (key == 0)
            return false;
        dishGroupKeys.insert(text(dishGroups[n]), key);
        groupNumber.insert(key, n + 1);
    }
    for (const Dish& d : dishes) {
        const qlonglong group = keyOf(dishGroupKeys, d.group, error);
        if (group == 0)
            return false;
        DishCatalog::NewDish made{group,          text(d.name),   none, d.portions, d.markup,
                                  text(d.yield),  text(d.recipe), none, none,       {},
                                  int(d.finished)};
        for (const Part& p : d.card) {
            if (!p.ingredient)
                break;
            const qlonglong ing = keyOf(ingKeys, p.ingredient, error);
            if (ing == 0)
                return false;
            made.lines.push_back({none, ing, p.grams, 100});
        }
        const std::optional<qlonglong> added = DishCatalog::addDish(db, made, error);
        if (!added) {
            *error = u"Образец не записан (блюдо): "_s + *error;
            return false;
        }
        const qlonglong dish = *added;
        // Only finished dishes may go into a menu.
        if (d.finished) {
            dishKeys.insert(text(d.name), dish);
            dishGroupOf.insert(dish, group);
        }
    }

    for (const MenuDef& m : menus) {
        MenuBook::NewMenu menu{text(m.name), text(m.date), m.released, {}};
        for (const MenuEntry& e : m.entries) {
            if (!e.dish)
                break;
            const qlonglong dish = keyOf(dishKeys, e.dish, error);
            if (dish == 0)
                return false;
            const qlonglong group = dishGroupOf.value(dish);
            menu.entries.push_back({dish, group, groupNumber.value(group), e.price});
        }
        if (!MenuBook::addMenu(db, menu, error)) {
            *error = u"Образец не записан (меню): "_s + *error;
            return false;
        }
    }

    const QStringList partnerFields = {u"Name"_s, u"Inn"_s, u"Okpo"_s, u"Okonh"_s, u"Adress"_s,
                                       u"Bank"_s, u"Bik"_s, u"Rs"_s,   u"Ks"_s};
    const QVariantList partners[] = {
        {text("ООО \"Продснаб\""), u"7701234567"_s, u"12345678"_s, u"71100"_s,
         text("г. Москва, ул. Складская, д. 12"), text("ПАО \"Городской банк\""), u"044525111"_s,
         u"40702810100000012345"_s, u"30101810100000000111"_s},
        {text("Столовая №5 ООО \"Вкусный дом\""), u"7705987654"_s, u"87654321"_s, u"90100"_s,
         text("г. Москва, ул. Заводская, д. 5"), text("ПАО \"Городской банк\""), u"044525111"_s,
         u"40702810500000054321"_s, u"30101810100000000111"_s},
    };
    const QStringList signatureFields = {u"Poradok"_s, u"Fam"_s, u"Nam"_s, u"Ot"_s, u"Dol"_s};
    const QVariantList signatures[] = {
        {1, text("Петрова"), text("Анна"), text("Сергеевна"), text("Заведующий производством")},
        {2, text("Иванова"), text("Ольга"), text("Николаевна"), text("Калькулятор")},
    };
    const auto postAll = [&](TableModel&& view, const QStringList& fields, const auto& rows) {
        for (const QVariantList& row : rows) {
            QList<std::pair<QString, QVariant>> values;
            for (int f = 0; f < fields.size(); ++f)
                values.append({fields[f], row[f]});
            if (!postRow(view, values, error))
                return false;
        }
        return true;
    };
    return postAll(TableModel(db, referenceviews::partners()), partnerFields, partners) &&
           postAll(TableModel(db, referenceviews::signatures()), signatureFields, signatures);
}

class FixedDays : public Clock
{
public:
    QDate today() const override { return QDate(2026, 12, 11); }
};

QVariant firstValue(QSqlDatabase& db, const QString& sql, const QVariantList& values = {})
{
    QSqlQuery query(db);
    query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    return query.exec() && query.next() ? query.value(0) : QVariant();
}

struct ReceiptLine
{
    const char* ingredient;
    double quantity;
    double price;
};

struct Receipt
{
    const char* date;
    const char* number;
    int partner; // 0 or 1: the sample's partners in order
    ReceiptLine lines[8];
};

// clang-format off
const Receipt receipts[] = {
    {"2026-12-04", "ПС-1204", 0,
     {{"Картофель", 50, 44.00}, {"Морковь", 15, 52.00}, {"Лук репчатый", 15, 41.00}, {"Свёкла", 10, 46.00},
      {"Капуста белокочанная", 20, 34.00}, {"Говядина (лопатка)", 8, 660.00}, {"Курица (тушка)", 10, 255.00},
      {"Свинина (окорок)", 5, 470.00}}},
    {"2026-12-05", "ВД-77", 1,
     {{"Молоко 2,5%", 20, 86.00}, {"Сметана 20%", 5, 318.00}, {"Масло сливочное 82,5%", 3, 960.00},
      {"Творог 9%", 5, 415.00}, {"Яйцо куриное", 120, 12.50}, {"Крупа гречневая", 10, 97.00},
      {"Макаронные изделия", 8, 118.00}, {"Сахар-песок", 20, 79.00}}},
};
// clang-format on

// A week of work done through the operations the windows call: two receipts, an inventory counted
// from the documents' balance, a menu for each working day (copied from the day before) and a sales
// document for each, the first three posted, the last two still open.
bool fillWeek(QSqlDatabase& db, QString* error)
{
    SamplePrompts prompts;
    const auto failed = [&](const QString& what) {
        *error = u"Образец не записан (%1): %2"_s.arg(what, prompts.reason);
        return false;
    };
    // A writer failed with the database's words.
    const auto notWritten = [&] {
        *error = u"Образец не записан: "_s + *error;
        return false;
    };
    QList<qlonglong> partners;
    QSqlQuery query(db);
    if (!query.exec(u"SELECT Nnn FROM Partner ORDER BY Nnn"_s)) {
        *error = sqlErrorText(query.lastError());
        return false;
    }
    while (query.next())
        partners << query.value(0).toLongLong();
    if (partners.size() < 2)
        return failed(u"партнёры"_s);

    StockDocuments stock(db, prompts);
    for (const Receipt& r : receipts) {
        // The header is the row the document grid posts; the lines come from "Добавить".
        const std::optional<qlonglong> document =
            stock.addDocument({text(r.date), text(r.number), partners[r.partner]}, error);
        if (!document)
            return notWritten();
        for (const ReceiptLine& l : r.lines) {
            const QVariant ingredient =
                firstValue(db, u"SELECT Kod1 FROM Ing WHERE Name = ?"_s, {text(l.ingredient)});
            const std::optional<qlonglong> line = stock.addLine(*document, ingredient.toLongLong());
            if (!line)
                return failed(text(l.ingredient));
            if (!stock.setLine(*line, l.quantity, l.price, error))
                return notWritten();
        }
        if (!stock.postReceipt(*document, PriceRule::Average))
            return failed(text(r.number));
    }

    InventoryDocuments inventories(db, prompts);
    const std::optional<qlonglong> inventory =
        inventories.addDocument(u"2026-12-06"_s, text("Инвентаризация склада"), error);
    if (!inventory)
        return notWritten();
    if (!inventories.transfer(*inventory, [] { return CountedStart::Balance; }))
        return failed(u"инвентаризация"_s);
    // A few counted quantities that differ from the books, as a real count finds them.
    std::vector<std::pair<qlonglong, double>> counted;
    if (!forEachRow(
            db, u"SELECT Nnn, Oldkolvo FROM inv WHERE Kod = ? AND Oldkolvo >= 10 AND Nnn % 4 = 0"_s,
            {*inventory},
            [&](const QSqlQuery& q) {
                counted.emplace_back(q.value(0).toLongLong(), q.value(1).toDouble() - 1);
            },
            error))
        return notWritten();
    for (const auto& [line, quantity] : counted) {
        if (!inventories.setCounted(line, quantity, error))
            return notWritten();
    }

    MenuBook menus(db, prompts);
    SalesDocuments sales(db, prompts);
    SalesPosting posting(db, prompts);
    FixedDays days;
    QVariant previousMenu;
    for (int day = 7; day <= 11; ++day) {
        const QDate date(2026, 12, day);
        QVariant menu = firstValue(db, u"SELECT Kod FROM Menu WHERE Date = ? ORDER BY Kod"_s,
                                   {date.toString(Qt::ISODate)});
        if (menu.isNull()) {
            prompts.date = date;
            const std::optional<qlonglong> made = menus.createMenu(prompts, days);
            if (!made)
                return failed(u"меню"_s);
            if (!MenuBook::setName(db, *made, u"Обед на %1 декабря"_s.arg(day), error))
                return notWritten();
            if (!menus.copyEntries(previousMenu, *made))
                return failed(u"меню"_s);
            if (day < 10 && !menus.releaseMenu(*made))
                return failed(u"меню"_s);
            menu = *made;
        }
        previousMenu = menu;

        const std::optional<qlonglong> document = SalesDocuments::addReceived(
            db, {date.toString(Qt::ISODate), u"Реализация за %1 декабря"_s.arg(day), {}, {}}, {}, error);
        if (!document)
            return notWritten();
        if (!sales.useMenu(*document, menu.toLongLong()))
            return failed(u"реализация"_s);
        // Portions sold, as typed into the lines: a different figure for each dish and day.
        std::vector<qlonglong> lines;
        if (!forEachRow(
                db, u"SELECT Nnn FROM Realsum WHERE Kod = ?"_s, {*document},
                [&](const QSqlQuery& q) { lines.push_back(q.value(0).toLongLong()); }, error))
            return notWritten();
        for (const qlonglong line : lines) {
            if (!SalesDocuments::setPortions(db, line, double(5 + (line * 7 + day * 3) % 23), error))
                return notWritten();
        }
        if (day <= 9 && !posting.post(*document, partners[1]))
            return failed(u"проводка реализации"_s);
    }
    return true;
}

} // namespace

namespace demo {

bool fill(QSqlDatabase& db, QString* error)
{
    QString reason;
    Transaction transaction(db);
    bool ok = transaction.isActive() && kitchenIsEmpty(db, &reason) && fillAll(db, &reason);
    if (ok) {
        // Priced as "Расчёт цен блюд" prices it, so the first card a cook prints shows real costs; the
        // week's work comes after it, as it would in a kitchen. All of it one transaction with the rest.
        const DishCostRun run = DishCostCalculator(db).run();
        if (!run.ok)
            reason = u"Образец не записан: цены не рассчитаны: %1"_s.arg(run.message);
        ok = run.ok && fillWeek(db, &reason);
        // The receipts moved ingredient prices; the cook prices the dishes again at the week's end.
        if (ok) {
            const DishCostRun again = DishCostCalculator(db).run();
            if (!again.ok)
                reason = u"Образец не записан: цены не рассчитаны: %1"_s.arg(again.message);
            ok = again.ok && transaction.commit();
        }
    }
    if (!ok) {
        if (error)
            *error =
                !reason.isEmpty() ? reason : u"Образец не записан: %1"_s.arg(sqlErrorText(db.lastError()));
        return false;
    }
    return true;
}

} // namespace demo
