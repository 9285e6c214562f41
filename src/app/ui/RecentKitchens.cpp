#include "RecentKitchens.h"

#include "store/Engine.h"

#include <QDir>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace {

const QString group = u"RecentKitchens"_s;

} // namespace

QString RecentKitchen::label() const
{
    if (server.isEmpty())
        return QDir::toNativeSeparators(dataDir);
    return u"%1 на сервере %2"_s.arg(kitchen, server);
}

QStringList RecentKitchen::arguments() const
{
    QStringList options{u"--data"_s, dataDir};
    if (!server.isEmpty())
        options << u"--server"_s << server << u"--kitchen"_s << kitchen;
    return options;
}

QList<RecentKitchen> RecentKitchens::list() const
{
    QList<RecentKitchen> kitchens;
    const int count = m_settings.beginReadArray(group);
    for (int i = 0; i < count; ++i) {
        m_settings.setArrayIndex(i);
        RecentKitchen kitchen{m_settings.value(u"data"_s).toString(),
                              m_settings.value(u"server"_s).toString(),
                              m_settings.value(u"kitchen"_s).toString()};
        if (!kitchen.dataDir.isEmpty())
            kitchens.append(kitchen);
    }
    m_settings.endArray();
    return kitchens;
}

void RecentKitchens::remember(const DataLocations& locations)
{
    const RecentKitchen kitchen{locations.culinar, locations.server, locations.kitchen};
    QString error;
    if (!kitchen.server.isEmpty() && Engine::postgresConnectOptions(kitchen.server, &error).isEmpty())
        return;
    QList<RecentKitchen> kitchens = list();
    kitchens.removeAll(kitchen);
    kitchens.prepend(kitchen);
    kitchens = kitchens.mid(0, kept);
    m_settings.remove(group);
    m_settings.beginWriteArray(group, int(kitchens.size()));
    for (int i = 0; i < kitchens.size(); ++i) {
        m_settings.setArrayIndex(i);
        m_settings.setValue(u"data"_s, kitchens[i].dataDir);
        if (!kitchens[i].server.isEmpty()) {
            m_settings.setValue(u"server"_s, kitchens[i].server);
            m_settings.setValue(u"kitchen"_s, kitchens[i].kitchen);
        }
    }
    m_settings.endArray();
}
