#pragma once

#include "CommandSupport.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <optional>

class QTextStream;

// The answers a window's dialog would give, read from a command's options and looked up in the kitchen.
namespace commands {

// Refuses options that no part of the command took, before anything runs.
bool strayOptions(const Options& options, QTextStream& err);

// The key of the row whose name is given (ignoring case), or of the key given as a number, within an
// optional condition with its bound values; a name that several rows bear is refused.
std::optional<qlonglong> keyByName(const QSqlDatabase& db, const QString& table, const QString& keyField,
                                   const QString& nameField, const QString& wanted, QString* error,
                                   const QString& condition = {}, const QVariantList& conditionValues = {});

// keyByName over the Name field, telling err "label: why" when no single row answers.
std::optional<qlonglong> namedKey(const QSqlDatabase& db, const QString& table, const QString& keyField,
                                  const QString& wanted, const QString& label, QTextStream& err,
                                  const QString& condition = {}, const QVariantList& conditionValues = {});

// A date option "--name YYYY-MM-DD": nothing when absent; a usage
// error on err and *bad set when it has no value or no date.
std::optional<QDate> dateOption(Options& options, const QString& name, bool* bad, QTextStream& err);

// "--date D" or "--from D --to D": the period of a command, both ends included. A usage error on err
// (and nothing) when neither or both forms are given, or a date is not one.
std::optional<std::pair<QDate, QDate>> periodOptions(Options& options, bool dayAllowed, QTextStream& err);

} // namespace commands
