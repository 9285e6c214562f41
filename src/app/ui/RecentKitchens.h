#pragma once

#include "store/DataLocations.h"

#include <QList>
#include <QString>
#include <QStringList>

class QSettings;

// One kitchen opened before: a data directory, or a server with its kitchen name (and the data
// directory that locates the workstation's exchange directory). Never a password: a server address
// holding one is not kept.
struct RecentKitchen
{
    QString dataDir;
    QString server;
    QString kitchen;

    // As the start dialog lists it.
    QString label() const;
    // The command-line options that open it again.
    QStringList arguments() const;
    bool operator==(const RecentKitchen&) const = default;
};

// The last kitchens opened, most recent first, kept per user in the settings.
class RecentKitchens
{
public:
    static constexpr int kept = 8;

    explicit RecentKitchens(QSettings& settings) : m_settings(settings) {}

    QList<RecentKitchen> list() const;
    // Puts the kitchen first; an address with a password is left out.
    void remember(const DataLocations& locations);

private:
    QSettings& m_settings;
};
