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

    bool givenByUser = false; // "--data DIR" or "--server URL" named it

    // A kitchen on a PostgreSQL server ("--server URL", "--kitchen NAME"): the tables live there, the
    // data directory only locates the workstation's exchange directory. Empty for a kitchen file.
    QString server;
    QString kitchen;

    // From "--data DIR" when given (and "--server URL [--kitchen NAME]"); else "DATA" beside the program file
    // when it is there (a build tree, a kitchen carried with its program); else "DATA" in the user's data
    // folder (an installed program never keeps kitchens beside its binary).
    static DataLocations resolve(const QStringList& arguments, const QString& programDir,
                                 const QString& userDataDir = {});

    // Creates the exchange directory with any missing parents; the data directory is never created.
    bool ensureExchangeDirectory(QString* error) const;
};
