#include "Application.h"

#include "MainWindow.h"
#include "store/ui/MessageBoxPrompts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSqlDatabase>
#include <QTranslator>

using namespace Qt::StringLiterals;

int runApplication(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"kuhnemer"_s);
    QTranslator translator;
    if (translator.load(QLocale(QLocale::Russian), u"qtbase"_s, u"_"_s,
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);

    MessageBoxPrompts prompts;
    if (!QSqlDatabase::isDriverAvailable(u"QSQLITE"_s)) {
        prompts.warn(u"Кухнемер"_s, u"Не установлен BDE. Установка описана в инструкции"_s);
        return 1;
    }
    const DataLocations locations = DataLocations::resolve(QApplication::arguments(), QApplication::applicationDirPath());
    QString error;
    if (!locations.ensureExchangeDirectory(&error))
        prompts.warn(u"Кухнемер"_s, error);

    MainWindow window(locations);
    if (!window.claimKitchen())
        return 1;
    window.show();
    return QApplication::exec();
}
