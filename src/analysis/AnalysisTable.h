#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// A picture's figures as a table: what the page shows beside the chart and what its print-out holds,
// made once so the two cannot differ.
struct AnalysisTable
{
    struct Column
    {
        QString caption;
        QString format; // "0.00", "0.0" or "0" for numbers; empty for text
    };

    QString title;    // names the picture and what it is of
    QString subtitle; // the choices in words: period, threshold
    QList<Column> columns;
    QList<QVariantList> rows; // a QString, a double or null (an empty cell) per column
    QStringList notes;        // told under the table: what was left out and why

    // Digits after the point of a number format.
    static int decimals(const QString& format);
};
