#include "Application.h"

#include "MainWindow.h"
#include "store/ui/MessageBoxPrompts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSqlDatabase>
#include <QTranslator>

int runApplication(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kuhnemer"));
    QTranslator translator;
    if (translator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);

    MessageBoxPrompts prompts;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        prompts.warn(QStringLiteral("Кухнемер"), QStringLiteral("Не установлен BDE. Установка описана в инструкции"));
        return 1;
    }
    const DataLocations locations = DataLocations::resolve(QApplication::arguments(), QApplication::applicationDirPath());
    QString error;
    if (!locations.ensureExchangeDirectory(&error))
        prompts.warn(QStringLiteral("Кухнемер"), error);

    MainWindow window(locations);
    if (!window.claimKitchen())
        return 1;
    window.show();
    return QApplication::exec();
}
