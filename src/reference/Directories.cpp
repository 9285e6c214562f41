#include "Directories.h"

#include "store/Database.h"
#include "store/UserPrompts.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace directories {

bool deleteUnit(QSqlDatabase db, const QVariant& unitKod, UserPrompts& prompts)
{
    if (!prompts.confirmIrreversible(u"Удаление единицы измерения"_s,
                                     u"Подтвердите удаление единицы измерения !!!"_s))
        return false;
    if (unitKod.isNull())
        return false;
    QString error;
    bool used = false;
    // The use is checked where the unit is deleted; what is to be said is said after the roll-back.
    const bool done = inTransaction(db, &error, [&] {
        QSqlQuery count(db);
        if (!runQuery(count, u"SELECT count(*) FROM Ing WHERE Edinica = ?"_s, {unitKod}, &error) ||
            !count.next())
            return false;
        used = count.value(0).toLongLong() > 0;
        count.finish();
        return !used && execSql(db, u"DELETE FROM Edinica WHERE Kod = ?"_s, {unitKod}, &error);
    });
    if (used) {
        prompts.warn(u"Ошибка удаления единицы измерения"_s,
                     u"Единица не удалена, остались ингредиенты использующие эту единицу !!!"_s);
        return false;
    }
    if (!done) {
        prompts.warn(u"Ошибка"_s, u"Единица не удалена: %1"_s.arg(error));
        return false;
    }
    prompts.inform(u"Информация"_s, u"Единица успешно удалена !!!"_s);
    return true;
}

bool deleteSignature(QSqlDatabase db, const QVariant& signatureKod, UserPrompts& prompts)
{
    if (!prompts.confirmIrreversible(u"?"_s, u"Вы уверены что желаете удалить запись?"_s))
        return false;
    // An empty list has nothing to delete; the user is told so instead of seeing an engine error.
    if (signatureKod.isNull()) {
        prompts.warn(u"Ошибка"_s, u"Нет записи для удаления."_s);
        return false;
    }
    QString error;
    if (!inTransaction(db, &error, [&] {
            return execSql(db, u"DELETE FROM Podpis WHERE Kod = ?"_s, {signatureKod}, &error);
        })) {
        prompts.warn(u"Ошибка"_s, u"Запись не удалена: %1"_s.arg(error));
        return false;
    }
    return true;
}

} // namespace directories
