#include "Directories.h"

#include "store/Database.h"
#include "store/UserPrompts.h"

#include <QSqlQuery>

namespace directories {

bool deleteUnit(QSqlDatabase db, const QVariant& unitKod, UserPrompts& prompts)
{
    if (!prompts.confirm(QStringLiteral("Удаление единицы измерения"),
                         QStringLiteral("Подтвердите удаление единицы измерения !!!")))
        return false;
    if (unitKod.isNull())
        return false;
    Transaction transaction(db);
    QSqlQuery count(db);
    count.prepare(QStringLiteral("SELECT count(*) FROM Ing WHERE Edinica = ?"));
    count.addBindValue(unitKod);
    QString error;
    if (!count.exec() || !count.next()) {
        prompts.warn(QStringLiteral("Ошибка"), QStringLiteral("Не удалось проверить ингредиенты."));
        return false;
    }
    if (count.value(0).toLongLong() > 0) {
        prompts.warn(QStringLiteral("Ошибка удаления единицы измерения"),
                     QStringLiteral("Единица не удалена, остались ингредиенты использующие эту единицу !!!"));
        return false;
    }
    count.finish();
    if (!execSql(db, QStringLiteral("DELETE FROM Edinica WHERE Kod = ?"), {unitKod}, &error) || !transaction.commit()) {
        prompts.warn(QStringLiteral("Ошибка"), QStringLiteral("Единица не удалена: %1").arg(error));
        return false;
    }
    prompts.inform(QStringLiteral("Информация"), QStringLiteral("Единица успешно удалена !!!"));
    return true;
}

bool deleteSignature(QSqlDatabase db, const QVariant& signatureKod, UserPrompts& prompts)
{
    if (!prompts.confirm(QStringLiteral("?"), QStringLiteral("Вы уверены что желаете удалить запись?")))
        return false;
    // An empty list has nothing to delete; the user is told so instead of seeing an engine error.
    if (signatureKod.isNull()) {
        prompts.warn(QStringLiteral("Ошибка"), QStringLiteral("Нет записи для удаления."));
        return false;
    }
    QString error;
    Transaction transaction(db);
    if (!execSql(db, QStringLiteral("DELETE FROM Podpis WHERE Kod = ?"), {signatureKod}, &error) ||
        !transaction.commit()) {
        prompts.warn(QStringLiteral("Ошибка"), QStringLiteral("Запись не удалена: %1").arg(error));
        return false;
    }
    return true;
}

} // namespace directories
