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
    Transaction transaction(db);
    QSqlQuery count(db);
    count.prepare(u"SELECT count(*) FROM Ing WHERE Edinica = ?"_s);
    count.addBindValue(unitKod);
    QString error;
    if (!count.exec() || !count.next()) {
        prompts.warn(u"Ошибка"_s, u"Не удалось проверить ингредиенты."_s);
        return false;
    }
    if (count.value(0).toLongLong() > 0) {
        prompts.warn(u"Ошибка удаления единицы измерения"_s,
                     u"Единица не удалена, остались ингредиенты использующие эту единицу !!!"_s);
        return false;
    }
    count.finish();
    if (!execSql(db, u"DELETE FROM Edinica WHERE Kod = ?"_s, {unitKod}, &error) || !transaction.commit()) {
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
    Transaction transaction(db);
    if (!execSql(db, u"DELETE FROM Podpis WHERE Kod = ?"_s, {signatureKod}, &error) ||
        !transaction.commit()) {
        prompts.warn(u"Ошибка"_s, u"Запись не удалена: %1"_s.arg(error));
        return false;
    }
    return true;
}

} // namespace directories
