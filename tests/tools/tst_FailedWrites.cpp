#include "RecordingLauncher.h"
#include "ScriptedPrompts.h"

#include "menus/MenuPrintSettings.h"
#include "reports/ReportOutput.h"
#include "reports/Workbook.h"
#include "store/Database.h"
#include "store/Maintenance.h"
#include "tools/KitchenCommands.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// A disk that takes no file beyond a few bytes: every write past the limit fails as on a full disk.
class SmallDisk
{
public:
    explicit SmallDisk(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~SmallDisk() { ::setrlimit(RLIMIT_FSIZE, &m_saved); }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

private:
    rlimit m_saved{};
};

constexpr rlim_t tinyDisk = 16;
const QByteArray oldBytes = "old contents";

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void plant(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(oldBytes), oldBytes.size());
}

// Names in a folder other than those a test put there: a half-written or temporary file left behind.
QStringList strays(const QString& folder, const QStringList& planted)
{
    QStringList found = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : planted)
        found.removeAll(name);
    return found;
}

} // namespace

class tst_FailedWrites : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QString text;
        QTextStream out(&text);
        QTextStream err(&text);
        QVERIFY2(commands::create(m_kitchen, true, out, err) == commands::done, qPrintable(text));
        // The menu print reads its texts from here: made now, so that only the print-out is written below.
        QString error;
        QVERIFY2(MenuPrintSettings(m_kitchen).load(&error), qPrintable(error));
        // A connection held open keeps the database's shared-memory file made, so that the commands
        // below write nothing but their files.
        m_db = Database::open(m_kitchen, &error, u"held"_s);
        QVERIFY2(m_db, qPrintable(error));
    }
    void cleanupTestCase()
    {
        if (m_db)
            m_db->close();
    }

    // Each command on a disk that is full: refused in Russian, the old files untouched, nothing left over.
    void commandsKeepTheOldFiles_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("files"); // planted with old contents first, relative to the out folder
        const QString out = u"@"_s;
        QTest::newRow("card export") << QStringList{u"export-cards"_s, u"--dish"_s, u"Борщ со сметаной"_s,
                                                    u"--out"_s, out + u"/old.fck"_s}
                                     << QStringList{u"old.fck"_s};
        QTest::newRow("menu transfer")
            << QStringList{u"send-menu"_s, u"--menu"_s, u"Обед на 7 декабря"_s, u"--target"_s,
                           u"buffeton"_s,  u"--out"_s,  out + u"/menu.mnu"_s}
            << QStringList{u"menu.mnu"_s};
        QTest::newRow("till tables")
            << QStringList{u"send-menu"_s, u"--menu"_s, u"Обед на 7 декабря"_s, u"--target"_s, u"torg"_s,
                           u"--out"_s,     out}
            << QStringList{u"Products.dbf"_s, u"Names.dbf"_s, u"Zimp.zfl"_s};
        QTest::newRow("print-out") << QStringList{u"print"_s,  u"menu"_s,
                                                  u"--menu"_s, u"Обед на 7 декабря"_s,
                                                  u"--out"_s,  out + u"/menu.xlsx"_s}
                                   << QStringList{u"menu.xlsx"_s};
    }
    void commandsKeepTheOldFiles()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, files);
        QTemporaryDir folder;
        for (const QString& name : files)
            plant(folder.filePath(name));
        for (QString& argument : arguments)
            argument.replace(u'@', folder.path());
        arguments.insert(1, m_kitchen);

        QString out;
        QString err;
        int code = 0;
        {
            QTextStream outStream(&out);
            QTextStream errStream(&err);
            const SmallDisk disk(tinyDisk);
            code = commands::run(arguments, outStream, errStream);
        }
        QCOMPARE(code, commands::failed);
        QVERIFY2(err.contains(u"Не удалось записать"_s) && err.contains(u"Выберите другую папку"_s),
                 qPrintable(err));
        QVERIFY2(!out.contains(u"успешно"_s) && !out.contains(u"передано"_s), qPrintable(out));
        for (const QString& name : files)
            QCOMPARE(contents(folder.filePath(name)), oldBytes);
        QCOMPARE(strays(folder.path(), files), QStringList());
    }

    void backupIsWholeOrAbsent()
    {
        QTemporaryDir folder;
        const QString target = folder.filePath(u"copy.sqlite"_s);
        QString error;
        {
            const SmallDisk disk(4096);
            QVERIFY(Maintenance::backup(m_kitchen, &error, {}, target).isEmpty());
        }
        QVERIFY2(error.contains(u"нет места"_s) || error.contains(u"диск"_s), qPrintable(error));
        QCOMPARE(strays(folder.path(), {}), QStringList());
    }

    void printSettingsKeepTheOldFile()
    {
        const MenuPrintSettings settings(m_kitchen);
        const QByteArray before = contents(settings.filePath());
        QStringList texts = MenuPrintSettings::defaults();
        texts[0] = u"Другой заголовок, длиннее прежнего"_s;
        QString error;
        {
            const SmallDisk disk(tinyDisk);
            QVERIFY(!settings.save(texts, &error));
        }
        QVERIFY2(error.contains(u"Не удалось записать файл"_s), qPrintable(error));
        QCOMPARE(contents(settings.filePath()), before);
    }

    void reportIsNotOpenedWhenUnwritten()
    {
        QTemporaryDir folder;
        RecordingLauncher launcher;
        ScriptedPrompts prompts;
        Workbook book;
        book.sheet(1).cell(1, 1).setValue(u"Итого"_s);
        ReportOutput output(launcher, prompts, folder.path());
        QString path;
        {
            const SmallDisk disk(tinyDisk);
            path = output.show(book, u"Отчёт"_s);
        }
        QVERIFY(path.isEmpty());
        QVERIFY(launcher.opened.isEmpty());
        QVERIFY2(prompts.last().contains(u"Не удалось записать"_s) &&
                     prompts.last().contains(u"Выберите другую папку"_s),
                 qPrintable(prompts.last()));
        QCOMPARE(strays(folder.path(), {}), QStringList());
    }

private:
    QTemporaryDir m_root;
    QString m_kitchen = m_root.filePath(u"DATA"_s);
    std::optional<Database> m_db;
};

QTEST_GUILESS_MAIN(tst_FailedWrites)
#include "tst_FailedWrites.moc"
