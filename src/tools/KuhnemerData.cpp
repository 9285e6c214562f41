// kuhnemer-data: the installation tool. The program itself never creates tables.
#include "store/Database.h"
#include "store/DemoKitchen.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2 || args.first() != QLatin1String("create") ||
        (args.size() == 3 && args.at(2) != QLatin1String("--demo")) || args.size() > 3) {
        err << "usage: kuhnemer-data create DIR [--demo]\n";
        return 2;
    }
    const QString dir = args.at(1);
    QString error;
    if (!schema::createDataDirectory(dir, &error)) {
        err << error << '\n';
        return 1;
    }
    if (args.size() == 3) {
        auto db = Database::open(dir, &error, QStringLiteral("kuhnemer-demo"));
        bool filled = false;
        if (db) {
            {
                QSqlDatabase sql = db->connection();
                filled = demo::fill(sql, &error);
            }
            db->close();
        }
        if (!filled) {
            err << error << '\n';
            return 1;
        }
    }
    QTextStream(stdout) << "created " << dir << '\n';
    return 0;
}
