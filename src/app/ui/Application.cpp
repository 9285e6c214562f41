#include "Application.h"

#include "KitchenChoiceDialog.h"
#include "MainWindow.h"
#include "store/ui/MessageBoxPrompts.h"
#include "tools/KitchenSetup.h"
#include "WindowMemory.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QTranslator>

#include <cstdio>

using namespace Qt::StringLiterals;

int runApplication(int argc, char* argv[])
{
    // Answered before any window: the package's test and a terminal user need no display for it.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0) {
            std::fputs(
                "Использование: kuhnemer [--data КАТАЛОГ] [--server АДРЕС [--kitchen ИМЯ]]\n"
                "  Кухнемер: калькуляция блюд, меню, реализация и склад столовой.\n"
                "  --data КАТАЛОГ  кухня в этом каталоге данных (по умолчанию DATA рядом с программой,\n"
                "                  если он есть, иначе в папке данных пользователя)\n"
                "  --server АДРЕС  кухня на сервере PostgreSQL: строка соединения или postgresql://...;\n"
                "                  пароль — в ~/.pgpass или в переменной PGPASSWORD\n"
                "  --kitchen ИМЯ   кухня на сервере (схема базы), по умолчанию kuhnemer\n"
                "  Команды без окон: kuhnemer-data --help\n",
                stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    // The settings (window state) go to ~/.config/kuhnemer/kuhnemer.conf.
    QApplication::setOrganizationName(u"kuhnemer"_s);
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
    const QString programDir = QApplication::applicationDirPath();
    // Not AppDataLocation: with the organisation named it would add a level.
    const QString userDataDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/kuhnemer"_s;
    DataLocations locations = DataLocations::resolve(QApplication::arguments(), programDir, userDataDir);
    QSettings settings;
    RecentKitchens recent(settings);
    // A kitchen named on the command line is opened without asking.
    if (!locations.givenByUser) {
        const RecentKitchen found{locations.culinar, {}, {}};
        const QList<RecentKitchen> kitchens = recent.list();
        if (KitchenChoiceDialog::worthAsking(found, kitchens)) {
            KitchenChoiceDialog choice(found, kitchens);
            if (choice.exec() == QDialog::Accepted && choice.chosen() && *choice.chosen() != found)
                locations = DataLocations::resolve(choice.chosen()->arguments(), programDir, userDataDir);
        }
    }
    kitchensetup::offerNewKitchen(locations, prompts);
    QString error;
    if (!locations.ensureExchangeDirectory(&error))
        prompts.warn(u"Кухнемер"_s, error);

    MainWindow window(locations);
    if (!window.claimKitchen())
        return 1;
    WindowMemory memory(settings);
    memory.rememberDialogGrids(&window);
    if (memory.restore(window))
        window.keepPlacement();
    window.show();
    const int result = QApplication::exec();
    memory.save(window);
    if (window.kitchenOpened())
        recent.remember(window.locations());
    return result;
}
