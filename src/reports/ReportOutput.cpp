#include "ReportOutput.h"

#include "SpreadsheetLauncher.h"
#include "store/UserPrompts.h"
#include "store/WholeFile.h"
#include "Workbook.h"
#include "XlsxFileWriter.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString caption = u"Таблица"_s;

// Enough problems for the user to see what went wrong without a message taller than the screen.
constexpr qsizetype shownProblems = 10;

QString problemsText(const QStringList& problems)
{
    QString text = u"При построении таблицы не всё удалось:\n"_s +
                   problems.first(std::min(problems.size(), shownProblems)).join(u'\n');
    if (problems.size() > shownProblems)
        text += u"\n… и ещё %1"_s.arg(problems.size() - shownProblems);
    return text;
}

} // namespace

ReportOutput::ReportOutput(SpreadsheetLauncher& launcher, UserPrompts& prompts, QString folder,
                           std::function<QDateTime()> now)
    : m_launcher(launcher), m_prompts(prompts), m_folder(std::move(folder)), m_now(std::move(now))
{
}

QString ReportOutput::defaultFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return documents + u"/Кухнемер"_s;
}

QString ReportOutput::fileNameStem(const QString& title)
{
    // Characters that some file system or the desktop's file dialogs refuse.
    static const QString unsafe = u"/\\:*?\"<>|"_s;
    constexpr qsizetype maxLength = 100;
    QString stem;
    for (const QChar ch : title.simplified())
        stem += ch.unicode() < 0x20 || ch.unicode() == 0x7F || unsafe.contains(ch) ? QChar(u'_') : ch;
    // A leading dot would hide the file.
    while (stem.startsWith(u'.') || stem.startsWith(u' '))
        stem.remove(0, 1);
    if (stem.size() > maxLength) {
        stem.truncate(maxLength);
        if (stem.back().isHighSurrogate())
            stem.chop(1);
    }
    return stem.isEmpty() ? u"Таблица"_s : stem;
}

SerializedWorkbook SerializedWorkbook::of(const Workbook& workbook, const std::function<bool(int)>& progress)
{
    SerializedWorkbook serialized;
    serialized.problems = workbook.problems();
    XlsxFileWriter writer;
    serialized.bytes = writer.bytes(workbook, progress);
    if (!serialized.bytes)
        serialized.error = u"Не удалось записать таблицу: %1"_s.arg(writer.errorString());
    return serialized;
}

QString ReportOutput::show(const Workbook& workbook, const QString& title)
{
    return show(SerializedWorkbook::of(workbook), title);
}

QString ReportOutput::show(const SerializedWorkbook& workbook, const QString& title)
{
    if (!workbook.problems.isEmpty())
        m_prompts.warn(caption, problemsText(workbook.problems));

    if (!QDir().mkpath(m_folder)) {
        m_prompts.warn(caption,
                       u"Не удалось создать папку для таблиц: %1"_s.arg(QDir::toNativeSeparators(m_folder)));
        return {};
    }
    QString error = workbook.error;
    const QString path = workbook.bytes ? writeFile(*workbook.bytes, title, error) : QString();
    // The hidden unfinished file is gone by now: nothing below may leave it behind.
    if (path.isEmpty()) {
        m_prompts.warn(caption, error);
        return {};
    }
    if (!m_launcher.open(path) &&
        m_prompts.confirm(
            caption, u"Не удалось открыть таблицу в приложении электронных таблиц. "
                     "Файл сохранён: %1\n\nОткрыть папку с файлом?"_s.arg(QDir::toNativeSeparators(path))))
        m_launcher.openFolder(m_folder);
    return path;
}

QString ReportOutput::writeFile(const QByteArray& bytes, const QString& title, QString& error) const
{
    // Written under a hidden name first, so that no half-written file ever carries a report's name.
    const QString stem = fileNameStem(title) + u'_' + m_now().toString(u"yyyy-MM-dd_HH-mm-ss"_s);
    StagedFile file(u"%1/%2.xlsx"_s.arg(m_folder, stem));
    if (!file.write(bytes, &error))
        return {};
    // Two reports of the same title within a second, or an older file of that name, get a counter.
    constexpr int maxCopies = 1000;
    for (int copy = 1; copy <= maxCopies; ++copy) {
        const QString path = u"%1/%2%3.xlsx"_s.arg(m_folder, stem, copy > 1 ? u"_%1"_s.arg(copy) : QString());
        bool taken = false;
        if (file.placeAs(path, &taken, &error))
            return path;
        if (!taken)
            return {};
    }
    error = u"Не удалось сохранить таблицу: в папке %1 уже есть %2 таблиц с именем «%3»."_s
                .arg(QDir::toNativeSeparators(m_folder))
                .arg(maxCopies)
                .arg(stem);
    return {};
}
