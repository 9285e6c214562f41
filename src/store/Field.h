#pragma once

#include <QString>
#include <QVariant>

// A stored field as the schema declares it, and the conversions between what the user types or sees
// and what the database keeps.
enum class FieldType
{
    Key,
    Float,
    Bool,
    Date,
    String,
    Memo
};

struct FieldInfo
{
    QString name;
    FieldType type = FieldType::Float;
    int size = 0; // characters, for strings

    bool isText() const { return type == FieldType::String || type == FieldType::Memo; }

    // From the declared type of the schema: VARCHAR(n), TEXT, DATE, BOOLEAN, REAL, or the row key.
    static FieldInfo fromDeclaration(const QString& name, const QString& declared, bool primaryKey);

    // Converts what a user typed into the stored value; false and a message when it does not fit.
    bool fromInput(const QVariant& input, QVariant* stored, QString* error) const;

    // A stored value as a grid shows it (display) or offers it for editing: dates "dd.MM.yyyy",
    // numbers with the user's decimal separator and, for display, the decimals of the format.
    QVariant toText(const QVariant& value, const QString& format, bool forEditing) const;
};

// The refusal of a typed date that names no day ("31.02.2026"), the same in a grid and in a date field.
QString missingDateMessage(const QString& typed);
