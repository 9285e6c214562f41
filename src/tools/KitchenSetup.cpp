#include "KitchenSetup.h"

#include "DemoKitchen.h"
#include "store/Database.h"
#include "store/DataLocations.h"
#include "store/Schema.h"
#include "store/UserPrompts.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kitchensetup {

bool kitchenMissing(const DataLocations& locations)
{
    return !locations.givenByUser && !QFileInfo(Database::filePath(locations.culinar)).isFile();
}

bool offerNewKitchen(const DataLocations& locations, UserPrompts& prompts)
{
    const QString dataDir = locations.culinar;
    if (!kitchenMissing(locations))
        return true;
    const int choice = prompts.choose(
        u"Кухнемер"_s,
        u"Кухня ещё не создана. Создать пустую кухню, чтобы вести свою, или образец столовой, чтобы "
        "посмотреть программу в работе?\n\nКаталог данных: %1"_s.arg(QDir::toNativeSeparators(dataDir)),
        {u"Пустая кухня"_s, u"Образец столовой"_s, u"Отмена"_s});
    if (choice != 0 && choice != 1)
        return false;
    return createKitchen(dataDir, choice == 1, prompts);
}

bool createKitchen(const QString& dataDir, bool demo, UserPrompts& prompts)
{
    QString error;
    if (!schema::createDataDirectory(dataDir, &error)) {
        prompts.warn(u"Кухнемер"_s, error);
        return false;
    }
    if (demo) {
        bool filled = false;
        if (auto db = Database::open(dataDir, &error, u"kuhnemer-setup"_s)) {
            {
                QSqlDatabase sql = db->connection();
                filled = demo::fill(sql, &error);
            }
            db->close();
        }
        if (!filled) {
            prompts.warn(u"Кухнемер"_s, error);
            return false;
        }
    }
    return true;
}

} // namespace kitchensetup
