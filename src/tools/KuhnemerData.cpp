// kuhnemer-data: the kitchen's command line. The program itself never creates tables.
#include "tools/KitchenCommands.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return commands::run(app.arguments().mid(1), out, err);
}
