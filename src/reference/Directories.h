#pragma once

#include <QSqlDatabase>
#include <QVariant>

class UserPrompts;

// The deletions of the small directories: units (refused while any ingredient counts in the unit) and
// signatures. Partners are deleted by the grid itself, without checks.
namespace directories {

// "Удаление единицы измерения"; true when the unit was deleted.
bool deleteUnit(QSqlDatabase db, const QVariant& unitKod, UserPrompts& prompts);

// "Удалить текущую запись" on the signatures; true when the signature was deleted.
bool deleteSignature(QSqlDatabase db, const QVariant& signatureKod, UserPrompts& prompts);

} // namespace directories
