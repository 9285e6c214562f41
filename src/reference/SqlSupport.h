#pragma once

#include "store/Database.h"
#include "store/RowKey.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <optional>

class UserPrompts;

// Small pieces shared by the reference operations.

// Whether the query with bound values gives a row; nullopt and the driver's text on failure.
std::optional<bool> hasRow(QSqlDatabase db, const QString& sql, const QVariantList& values, QString* error);

// Shows a database error the way every reference operation does; always false, for "return".
bool showDatabaseError(UserPrompts& prompts, const QString& error);
