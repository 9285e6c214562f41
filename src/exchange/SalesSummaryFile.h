#pragma once

#include <QByteArray>
#include <QDate>
#include <QIODevice>
#include <QList>
#include <QString>

#include <optional>

struct SalesSummaryLine
{
    qlonglong dish = 0;
    double price = 0;
    double portions = 0;
};

struct SalesSummary
{
    QDate date;
    QString name; // without NUL, which has no place in a stored text
    qlonglong menu = 0;
    QList<SalesSummaryLine> lines;
};

// The sales summary file of the sibling point-of-sale program: the scrambled envelope around a
// Windows-1251 text with the head line, date, name, menu key, three lines per dish, the
// deferred-payments line, a section not read, and the end line. Checked whole before it is used.
class SalesSummaryFile
{
public:
    static const QString headLine;
    static const QString deferredLine;
    static const QString endLine;
    static constexpr qint64 largestFile = 16 * 1024 * 1024;

    enum class Problem
    {
        None,
        Damaged,
        TooLarge, // over largestFile, so not read at all
        OlderFormat,
        Read
    };
    struct ReadResult
    {
        std::optional<SalesSummary> summary;
        Problem problem = Problem::None;
        QString text; // the device's error for Read
    };

    static ReadResult read(QIODevice& device);
    // The stored bytes, envelope included.
    static ReadResult parse(const QByteArray& stored);
};
