#include "RecordingLauncher.h"
#include "ScriptedPrompts.h"

#include "reports/DesktopApplications.h"
#include "reports/ReportOutput.h"
#include "reports/ui/DesktopSpreadsheetLauncher.h"
#include "reports/Workbook.h"

#include <QDir>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDateTime madeAt(QDate(2024, 3, 5), QTime(14, 7, 9));

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class tst_ReportOutput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void writesANamedFileAndOpensIt();
    void neverReplacesAnotherFile();
    void namesTheFileWhenNoApplicationOpensIt();
    void defaultFolderIsKeptByTheUser();
    void folderThatCannotBeMade();
    void problemsOfTheWorkbookAreShown();
    void fileNameStem_data();
    void fileNameStem();
    void handedOnlyToADesktopApplication();

private:
    QString folder() const { return m_dir->filePath(u"kuhnemer-reports"_s); }
    ReportOutput output(const QString& folder)
    {
        return ReportOutput(m_launcher, m_prompts, folder, [] { return madeAt; });
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingLauncher m_launcher;
    ScriptedPrompts m_prompts;
    std::unique_ptr<Workbook> m_book;
};

void tst_ReportOutput::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_launcher = RecordingLauncher();
    m_prompts = ScriptedPrompts();
    m_book = std::make_unique<Workbook>();
    m_book->sheet(1).cell(1, 1).setValue(u"Меню"_s);
}

void tst_ReportOutput::writesANamedFileAndOpensIt()
{
    const QString path = output(folder()).show(*m_book, u"Меню на 05.03.2024 г."_s);

    QCOMPARE(path, folder() + u"/Меню на 05.03.2024 г._2024-03-05_14-07-09.xlsx"_s);
    QCOMPARE(m_launcher.opened, QStringList{path});
    QCOMPARE(m_prompts.shown, QStringList());
    QVERIFY(contentOf(path).startsWith("PK"));
    // Nothing else is left behind, not even the file it was written under first.
    QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
}

void tst_ReportOutput::neverReplacesAnotherFile()
{
    QVERIFY(QDir().mkpath(folder()));
    const QString older = folder() + u"/Оборотная ведомость_2024-03-05_14-07-09.xlsx"_s;
    QFile file(older);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("older");
    file.close();

    ReportOutput reports = output(folder());
    const QString second = reports.show(*m_book, u"Оборотная ведомость"_s);
    const QString third = reports.show(*m_book, u"Оборотная ведомость"_s);

    QCOMPARE(second, folder() + u"/Оборотная ведомость_2024-03-05_14-07-09_2.xlsx"_s);
    QCOMPARE(third, folder() + u"/Оборотная ведомость_2024-03-05_14-07-09_3.xlsx"_s);
    QCOMPARE(contentOf(older), QByteArray("older"));
    QVERIFY(contentOf(second).startsWith("PK"));
    QCOMPARE(m_launcher.opened, (QStringList{second, third}));
}

void tst_ReportOutput::namesTheFileWhenNoApplicationOpensIt()
{
    // The launcher looks at the folder when it is handed the file: no unfinished file may be left then.
    struct Watching : RecordingLauncher
    {
        QStringList seen;
        bool open(const QString& path) override
        {
            seen = QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden);
            return RecordingLauncher::open(path);
        }
    } launcher;
    launcher.answer = false;
    m_prompts.queueConfirm(true);
    const QString path = ReportOutput(launcher, m_prompts, folder(), [] {
                             return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
                         }).show(*m_book, u"Акт инвентаризации"_s);

    QVERIFY(QFile::exists(path));
    QCOMPARE(launcher.seen, QStringList{QFileInfo(path).fileName()});
    QCOMPARE(m_prompts.shown,
             QStringList{u"Таблица|Не удалось открыть таблицу в приложении электронных таблиц. "
                         "Файл сохранён: "_s +
                         QDir::toNativeSeparators(path) + u"\n\nОткрыть папку с файлом?"_s});
    QCOMPARE(launcher.folders, QStringList{folder()});
}

void tst_ReportOutput::defaultFolderIsKeptByTheUser()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QCOMPARE(ReportOutput::defaultFolder(), documents + u"/Кухнемер"_s);
}

void tst_ReportOutput::folderThatCannotBeMade()
{
    // A file stands where the folder should be.
    const QString blocked = m_dir->filePath(u"blocked"_s);
    QFile file(blocked);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    const QString path = output(blocked + u"/reports"_s).show(*m_book, u"Меню"_s);

    QVERIFY(path.isEmpty());
    QVERIFY(m_launcher.opened.isEmpty());
    QCOMPARE(m_prompts.shown.size(), 1);
    QVERIFY(m_prompts.last().startsWith(u"Таблица|Не удалось создать папку для таблиц: "_s));
    QVERIFY(m_prompts.last().contains(QDir::toNativeSeparators(blocked)));
}

void tst_ReportOutput::problemsOfTheWorkbookAreShown()
{
    Sheet& sheet = m_book->sheet(1);
    for (int row = 0; row > -12; --row)
        sheet.cell(row, 1).setValue(1);

    const QString path = output(folder()).show(*m_book, u"Буфетон"_s);

    // What was built is still shown, as a half-filled workbook stays open in a spreadsheet.
    QCOMPARE(m_launcher.opened, QStringList{path});
    QCOMPARE(m_prompts.shown.size(), 1);
    const QString warning = m_prompts.last();
    QVERIFY(warning.startsWith(u"Таблица|При построении таблицы не всё удалось:\n"
                               "Лист «Лист1»: ячейки (0, 1) нет на листе\n"_s));
    QVERIFY(warning.endsWith(u"\n… и ещё 2"_s));
}

void tst_ReportOutput::fileNameStem_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("stem");
    QTest::newRow("kept") << "Меню на 05.03.2024 г."
                          << "Меню на 05.03.2024 г.";
    QTest::newRow("unsafe characters") << "a/b\\c:d*e?f\"g<h>i|j"
                                       << "a_b_c_d_e_f_g_h_i_j";
    QTest::newRow("control character") << u"Свод\x01май"_s << "Свод_май";
    QTest::newRow("spaces") << "  Расход \t ингредиентов \n"
                            << "Расход ингредиентов";
    QTest::newRow("hidden") << ".. отчёт"
                            << "отчёт";
    QTest::newRow("empty") << ""
                           << "Таблица";
    QTest::newRow("only dots") << "..."
                               << "Таблица";
    QTest::newRow("long") << QString(150, u'щ') << QString(100, u'щ');
}

void tst_ReportOutput::fileNameStem()
{
    QFETCH(QString, title);
    QFETCH(QString, stem);
    QCOMPARE(ReportOutput::fileNameStem(title), stem);
}

QTEST_GUILESS_MAIN(tst_ReportOutput)
#include "tst_ReportOutput.moc"

// The desktop's opener says it opened the file even when no application will show it: the file is
// handed over only when the desktop has an application for the type, else the user is told where it is.
void tst_ReportOutput::handedOnlyToADesktopApplication()
{
    const QString xlsx = u"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"_s;
    QTemporaryDir desktop;
    const char* const variables[] = {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"};
    for (const char* variable : variables)
        qputenv(variable, desktop.filePath(QString::fromLatin1(variable)).toLocal8Bit());
    const auto restore = qScopeGuard([&] {
        for (const char* variable : variables)
            qunsetenv(variable);
    });
    const QString report = desktop.filePath(u"Меню.xlsx"_s);
    writeFile(report, "PK");
    QList<QUrl> handed;
    DesktopSpreadsheetLauncher launcher([&handed](const QUrl& url) {
        handed << url;
        return true;
    });

    QVERIFY(desktopapps::defaultApplication(xlsx).isEmpty());
    QVERIFY(!launcher.open(report));
    QVERIFY(handed.isEmpty());
    m_prompts.queueConfirm(true);
    ReportOutput(launcher, m_prompts, folder(), [] { return madeAt; }).show(*m_book, u"Меню"_s);
    QVERIFY2(m_prompts.last().contains(u"Файл сохранён"_s), qPrintable(m_prompts.last()));
    QCOMPARE(handed, QList<QUrl>{QUrl::fromLocalFile(folder())});

    // An application that says it takes the type; a default named for it wins; a hidden one counts not.
    handed.clear();
    const QString apps = desktop.filePath(u"XDG_DATA_DIRS/applications/"_s);
    writeFile(apps + u"calc.desktop"_s,
              "[Desktop Entry]\nType=Application\nExec=calc %f\nMimeType=" + xlsx.toUtf8() + ";\n");
    QCOMPARE(desktopapps::defaultApplication(xlsx), apps + u"calc.desktop"_s);
    writeFile(apps + u"sheets.desktop"_s, "[Desktop Entry]\nType=Application\nExec=sheets %f\n");
    writeFile(apps + u"gone.desktop"_s, "[Desktop Entry]\nHidden=true\nExec=gone %f\n");
    writeFile(desktop.filePath(u"XDG_CONFIG_HOME/mimeapps.list"_s),
              "[Default Applications]\n" + xlsx.toUtf8() + "=gone.desktop;sheets.desktop;\n");
    QCOMPARE(desktopapps::defaultApplication(xlsx), apps + u"sheets.desktop"_s);
    QVERIFY(launcher.open(report));
    QCOMPARE(handed, QList<QUrl>{QUrl::fromLocalFile(report)});
}
