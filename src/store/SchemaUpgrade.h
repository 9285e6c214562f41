#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QSqlDatabase;
class UserPrompts;

// Bringing a kitchen of an older schema version to the current one. The version is kept twice, in
// step: PRAGMA user_version for SQLite's tools and the one-row table Version (field Number) that any
// engine and tool reads. A kitchen of version 1 has only the former.
namespace schema {

// One numbered step: the statements that turn a kitchen of version - 1 into one of version.
struct UpgradeStep
{
    int version = 0;
    QStringList statements;
};

// The steps of this program, in order; the last one reaches Database::schemaVersion. A new kitchen
// made from schema.sql has the shape these steps give a version 1 kitchen.
const QList<UpgradeStep>& upgradeSteps();

// The version a kitchen records; -1 with *error when it cannot be read. Where the two places
// disagree the larger wins, so that a kitchen one of them calls newer is never upgraded over it.
int storedVersion(const QSqlDatabase& db, QString* error);

// Where the places of the version disagree with each other or with this program's version, the finding
// ("версия в PRAGMA user_version 3, в таблице Version 2"); empty when they agree.
QString versionDisagreement(const QSqlDatabase& db);

// Runs the steps after the stored version, each a savepoint of one transaction, and marks the new
// version in both places: the kitchen is at its old version or the last step's, never in between.
bool upgrade(QSqlDatabase& db, QString* error, const QList<UpgradeStep>& steps = upgradeSteps());

struct UpgradeResult
{
    bool ok = false;
    int from = -1;
    int to = -1;
    QString backup;  // the copy made before the first step; empty when none was made
    QString message; // what happened, in Russian, for the user
};

// Upgrades the kitchen of a data directory after a whole backup into DATA/backup. The caller holds
// the kitchen's lock. Refuses a kitchen that is current, newer, or not of a version this program wrote.
UpgradeResult upgradeDataDirectory(const QString& dataDir, const QList<UpgradeStep>& steps = upgradeSteps());

// The program's opening of a kitchen: an older one is offered the upgrade ("OK"/"Отмена"). False only
// when an accepted upgrade failed (the user was told why and where the copy is); a kitchen left as it
// was is then refused by Database::open with its own message.
bool offerUpgrade(const QString& dataDir, UserPrompts& prompts);

} // namespace schema
