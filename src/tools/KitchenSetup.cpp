#include "KitchenSetup.h"

#include "DemoKitchen.h"
#include "store/DataLocations.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/UserPrompts.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kitchensetup {

bool offerNewKitchen(const DataLocations& locations, UserPrompts& prompts)
{
    const QString dataDir = locations.culinar;
    if (locations.givenByUser || QFileInfo(Database::filePath(dataDir)).isFile())
        return true;
    const int choice = prompts.choose(
        u"Кухнемер"_s,
        u"Кухня ещё не создана. Создать пустую кухню, чтобы вести свою, или образец столовой, чтобы "
        "посмотреть программу в работе?\n\nКаталог данных: %1"_s.arg(QDir::toNativeSeparators(dataDir)),
        {u"Пустая кухня"_s, u"Образец столовой"_s, u"Отмена"_s});
    if (choice != 0 && choice != 1)
        return false;
    QString error;
    if (!schema::createDataDirectory(dataDir, &error)) {
        prompts.warn(u"Кухнемер"_s, error);
        return false;
    }
    if (choice == 1) {
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
