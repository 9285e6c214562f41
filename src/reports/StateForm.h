#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class Sheet;
struct OrganisationDetails;

// The parts the state's unified forms share: the approval in the top right corner, the boxed codes,
// a filled-in line with its small caption below, the signature rows and the sums in words. Every
// writer takes the row to start at and returns the row after what it wrote.
namespace stateform {

// "Унифицированная форма № ИНВ-3" and the resolution that approved it, right-aligned in the column.
int writeApproval(Sheet& sheet, int row, int column, const QString& form, const QString& approval);

// A label right-aligned before a boxed code ("Форма по ОКУД" 0317004); an empty code leaves an empty
// box.
void writeCode(Sheet& sheet, int row, int labelColumn, int codeColumn, const QString& label,
               const QString& code);

// The text over a rule across the columns and its caption in small type under it ("организация"). An
// empty text stays an empty line to fill in by hand.
int writeCaptionedLine(Sheet& sheet, int row, int firstColumn, int lastColumn, const QString& text,
                       const QString& caption);

// The organisation as its line on the forms: legal form and name, address, ИНН and КПП, each only
// where given.
QString organisationLine(const OrganisationDetails& organisation);

// One signature row: the role, the position and name as stored (or an empty line), a rule to sign on,
// and the small captions under them.
int writeSignature(Sheet& sheet, int row, int roleColumn, int personColumn, int signColumn,
                   const QString& role, const QString& person);

// A text as lines of at most about width characters, broken between words and at its own line
// breaks: one row each, since the spreadsheet application does not grow a row for wrapped text that
// runs over merged cells. A word longer than a line is cut.
QStringList wrappedLines(const QString& text, int width);

// A sum of money as the forms write it out: "одна тысяча рублей 00 копеек"; rounded to the kopeck.
QString rublesInWords(double sum);
// A quantity written out where it is whole ("двенадцать"); a fractional one in figures ("12,5"),
// since the words of a decimal fraction are not what a form's reader expects.
QString quantityInWords(double quantity);

} // namespace stateform
