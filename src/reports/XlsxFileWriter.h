#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class Workbook;

// Writes a workbook as an .xlsx file through libxlsxwriter. Formats that come out the same after the
// cell's, row's and column's properties are combined share one format of the file; number formats go
// into the file as given, in the neutral form that the spreadsheet application shows with the user's
// own decimal separator.
class XlsxFileWriter
{
public:
    // The share of the rows written, every few hundred rows; false stops the writing.
    using Progress = std::function<bool(int percent)>;

    // The file's bytes; nothing with the reason in errorString() (also when the progress said stop).
    std::optional<QByteArray> bytes(const Workbook& workbook, const Progress& progress = {});
    // Writes to 'path' whole, replacing what is there; on failure what was there stays.
    bool write(const Workbook& workbook, const QString& path);
    QString errorString() const { return m_error; }

private:
    QString m_error;
};
