#pragma once

#include <QString>
#include <QStringList>

// Where the kitchen's data lives: the main and warehouse tables share one data directory; the
// exchange directory lies beside it.
struct DataLocations
{
    QString culinar;  // main tables
    QString culSklad; // warehouse tables (the same directory)
    QString culObmen; // dBase exchange tables

    // From "--data DIR" when given, else "DATA" beside the program file.
    static DataLocations resolve(const QStringList& arguments, const QString& programDir);

    // Creates the exchange directory with any missing parents; the data directory is never created.
    bool ensureExchangeDirectory(QString* error) const;
};
