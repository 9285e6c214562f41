#pragma once

#include <QByteArray>
#include <QDate>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

struct DbfField
{
    QByteArray name;
    char type = 'C'; // C character, N numeric, D date, L logical, ...
    int length = 0;
    int decimals = 0;
};

// dBase III tables: written from a fixed header image with the Russian DOS code page (866), read
// whatever their code-page mark says. Every byte read is checked against the header.
class DbfTable
{
public:
    static constexpr qint64 largestFile = 256 * 1024 * 1024;

    // The header image of a new, empty table: version 3, last change 7 September 2006, no record,
    // code-page mark 38 (866), the field descriptors, the end-of-header mark and the end-of-file mark.
    static QByteArray headerImage(const QList<DbfField>& fields);

    static const QList<DbfField>& productsFields();
    static const QList<DbfField>& namesFields();

    // The image filled with the records (text for character fields; a number or null for numeric
    // ones); the record count and the date of last change are set as the table engine sets them.
    // Nothing, with the reason in *error, when a text does not fit code page 866 or its field.
    static std::optional<QByteArray> filled(const QList<DbfField>& fields, const QList<QVariantList>& records,
                                            const QDate& lastChange, QString* error);

    struct Table
    {
        QList<DbfField> fields;
        QList<QStringList> records; // records not marked deleted, each field's text as stored
        int field(const QByteArray& name) const;
    };
    struct ReadResult
    {
        std::optional<Table> table;
        QString problem;       // why the bytes are not a dBase table
        bool tooLarge = false; // over largestFile, so not read at all
    };
    static ReadResult read(QIODevice& device);
    static ReadResult parse(const QByteArray& bytes);
};
