#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class SpreadsheetLauncher;
class UserPrompts;
class Workbook;

// A workbook made into the bytes of its file, with the problems met while it was built: the costly
// part of the output, done where the workbook was filled (a worker's thread) so that the window only
// writes the file.
struct SerializedWorkbook
{
    QStringList problems;
    std::optional<QByteArray> bytes; // none when the workbook could not be made into a file
    QString error;                   // why not

    // The progress as XlsxFileWriter::bytes takes it.
    static SerializedWorkbook of(const Workbook& workbook,
                                 const std::function<bool(int percent)>& progress = {});
};

// Where a finished print-out goes: a file in the user's reports folder, named by the print-out's
// title and the time it was made, then the spreadsheet application. A file is written whole or not
// at all and never takes the place of another.
class ReportOutput
{
public:
    ReportOutput(SpreadsheetLauncher& launcher, UserPrompts& prompts, QString folder = defaultFolder(),
                 std::function<QDateTime()> now = &QDateTime::currentDateTime);

    // "Кухнемер" in the user's documents folder, where a print-out can be found again.
    static QString defaultFolder();
    // The title with what a file name cannot hold replaced; "Таблица" for an empty title.
    static QString fileNameStem(const QString& title);

    // Writes the workbook and opens it. The user is told about problems met while the workbook was
    // built, about a file that could not be written and about a file no application opened.
    // Returns the file's path, or an empty string when nothing was written.
    QString show(const Workbook& workbook, const QString& title);
    QString show(const SerializedWorkbook& workbook, const QString& title);

private:
    // Writes the workbook under its final name; the temporary file is gone when this returns.
    QString writeFile(const QByteArray& bytes, const QString& title, QString& error) const;

    SpreadsheetLauncher& m_launcher;
    UserPrompts& m_prompts;
    QString m_folder;
    std::function<QDateTime()> m_now;
};
