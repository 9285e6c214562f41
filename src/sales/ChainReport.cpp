#include "ChainReport.h"

#include "SalesSummary.h"
#include "store/Database.h"
#include "warehouse/TurnoverStatement.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

// A connection of the report's own to one schema of the database, closed when it goes.
class SchemaConnection
{
public:
    SchemaConnection(const QString& serverOptions, const QString& schema, QString* error)
        : m_db(Database::openSibling({QString(), serverOptions, schema}, error, u"chain-"_s + schema))
    {
    }
    ~SchemaConnection()
    {
        if (m_db)
            m_db->close();
    }
    SchemaConnection(const SchemaConnection&) = delete;
    SchemaConnection& operator=(const SchemaConnection&) = delete;

    bool isOpen() const { return m_db.has_value(); }
    QSqlDatabase db() const { return m_db->connection(); }

private:
    std::optional<Database> m_db;
};

} // namespace

std::optional<double> ChainReport::costShare(double ingredientsCost, double sales)
{
    if (sales == 0)
        return std::nullopt;
    return ingredientsCost / sales * 100;
}

bool ChainReport::kitchens(QStringList* names, QString* error) const
{
    SchemaConnection database(m_serverOptions, u"public"_s, error);
    if (!database.isOpen())
        return false;
    names->clear();
    // Every kitchen has the one-row table Version. A move fills its target as NAME_partial and
    // renames it when whole: such a schema is no kitchen yet.
    return forEachRow(
        database.db(),
        u"SELECT n.nspname FROM pg_namespace n JOIN pg_class c ON c.relnamespace = n.oid "
        "WHERE c.relname = 'version' AND c.relkind = 'r' AND n.nspname NOT LIKE ? ORDER BY n.nspname"_s,
        {u"%\\_partial"_s}, [names](const QSqlQuery& row) { names->append(row.value(0).toString()); }, error);
}

bool ChainReport::figures(Figures* figures, const PrintJob::Progress& progress, QString* error) const
{
    QStringList names;
    if (!kitchens(&names, error))
        return false;
    if (names.isEmpty()) {
        *error = u"В базе данных сервера нет ни одной кухни."_s;
        return false;
    }
    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names.at(i);
        QString reason;
        const auto refuse = [&] {
            *error = u"Кухня \"%1\": %2"_s.arg(name, reason);
            return false;
        };
        SchemaConnection kitchen(m_serverOptions, name, &reason);
        if (!kitchen.isOpen())
            return refuse();
        // The kitchen's own summary of the period, as its sales page prints it.
        const SalesSummaryResult summary = SalesSummary(kitchen.db()).run(m_start, m_end);
        if (!summary.workbook) {
            reason = summary.error;
            return refuse();
        }
        if (const QString notice = summary.notice(); !notice.isEmpty())
            figures->notices.append({u"Кухня \"%1\""_s.arg(name), notice, false});
        Kitchen figure{name, summary.sales, summary.ingredientsCost, 0};
        if (!TurnoverStatement(kitchen.db()).stockValueAt(m_end, &figure.stockValue, &reason))
            return refuse();
        figures->kitchens.push_back(figure);
        if (progress)
            progress((i + 1) * 100 / int(names.size()));
    }
    return true;
}
