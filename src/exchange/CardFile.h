#pragma once

#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One row of a costing card as the card file carries it.
struct CardFileRow
{
    QString ingredient; // with " --> Полуфабрикат" for a semi-finished product
    QString unit;       // informative only
    double netGrams = 0;
    int yieldPercent = 0;
};

// A dish with its costing card and recipe, without prices or markup.
struct CardFileContent
{
    QString name;
    QString extra;
    int portions = 0;
    QString yield;
    QList<CardFileRow> rows;
    QStringList recipe;
};

// The costing card file (".fck"): Windows-1251 text, CR LF, a start marker, four header lines, four
// lines per card row, a recipe marker, the recipe lines, an end marker.
class CardFile
{
public:
    static const QString startMarker;
    static const QString recipeMarker;
    static const QString endMarker;
    static const QString semiFinishedSuffix;
    // Larger files are not costing card files; nothing that big is read into memory.
    static constexpr qint64 largestFile = 16 * 1024 * 1024;

    enum class Problem
    {
        None,
        Format,
        TooLarge, // over largestFile
        Number,   // a number line that does not convert
        Value,    // portions, a quantity or a yield not above zero
        Nul,      // a line holding the character NUL
        Read
    };
    struct ReadResult
    {
        std::optional<CardFileContent> content;
        Problem problem = Problem::None;
        int line = 0;    // the file's line (from 1) of a Number, Value or Nul problem
        QString text;    // that line, or the device's error
        QString reason;  // for Value: the words of the check
        QString subject; // for Value: the dish, or "dish / ingredient"
    };

    // Numbers are written with the given decimal separator (the writing computer's), quantities
    // positionally (no exponent, whatever their size). Everything the reader refuses is refused before
    // a byte is written (false with the reason in *error): a text that Windows-1251 cannot hold, a text
    // line holding a line break or NUL or equal to a marker, portions, a quantity or a yield (but a
    // semi-finished product's) not above zero.
    static bool write(QIODevice& device, const CardFileContent& content, QChar decimalSeparator,
                      QString* error);
    static std::optional<QByteArray> encode(const CardFileContent& content, QChar decimalSeparator,
                                            QString* error);

    // Reads and checks the whole file: exactly the three markers in order, four header lines and whole
    // four-line blocks between the first two, no NUL between the markers, every number line converting
    // (the quantity with the given decimal separator, the reading computer's) to a value above zero
    // (a semi-finished product's yield excepted, which no calculation uses).
    static ReadResult read(QIODevice& device, QChar decimalSeparator);
    static ReadResult parse(const QByteArray& bytes, QChar decimalSeparator);
};
