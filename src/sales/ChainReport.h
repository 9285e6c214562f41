#pragma once

#include "reports/PrintJob.h"

#include <optional>

#include <QDate>
#include <QString>

#include <vector>

// The figures of a chain: every kitchen (schema) of one server database, each through its own logic:
// the sales summary's totals of the period and the warehouse's stock value at its end.
class ChainReport
{
public:
    struct Kitchen
    {
        QString name;
        double sales = 0;
        double ingredientsCost = 0;
        double stockValue = 0;
    };
    struct Figures
    {
        std::vector<Kitchen> kitchens; // by name
        QList<PrintNotice> notices;    // what each kitchen's summary had to tell, under its name
    };

    // serverOptions are the driver's connection options (Engine::postgresConnectOptions).
    ChainReport(QString serverOptions, const QDate& start, const QDate& end)
        : m_serverOptions(std::move(serverOptions)), m_start(start), m_end(end)
    {
    }

    // The kitchens of the database: the schemas holding a kitchen's tables, a move's unfinished copy
    // left out.
    bool kitchens(QStringList* names, QString* error) const;
    // False with the reason, naming the kitchen, when one of them cannot be summed: a chain's totals
    // without it would be wrong.
    bool figures(Figures* figures, const PrintJob::Progress& progress, QString* error) const;

    // The food-cost share in percent; none without sales.
    static std::optional<double> costShare(double ingredientsCost, double sales);

private:
    QString m_serverOptions;
    QDate m_start;
    QDate m_end;
};
