#pragma once

#include <QSqlDatabase>
#include <QVariant>

#include <optional>

class QWidget;
class UserPrompts;

// The windows' side of the exchange with the point-of-sale programs: the program chosen, then the
// file, then the operation.
namespace pointofsale {

// "Передача меню в модуль": the current menu of the page "Меню".
void transferMenu(QWidget* parent, QSqlDatabase db, UserPrompts& prompts, const QVariant& menu);

// "Приём из": a new sales document; its key, nothing when nothing was received.
std::optional<qlonglong> receiveSales(QWidget* parent, QSqlDatabase db, UserPrompts& prompts);

} // namespace pointofsale
