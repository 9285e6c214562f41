#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <optional>

class UserPrompts;

// The organisation's details that head and sign the state's printed forms, kept in the one row of
// Org (Kod 1). Every detail may stay empty: a form then prints an empty line rather than a made-up one.
// The three commission members are written each on one line as the form shows them ("должность
// Фамилия И.О.").
struct OrganisationDetails
{
    QString name;
    QString form; // legal form: "ООО", "ИП", ...
    QString inn;
    QString kpp;
    QString okpo;
    QString address;
    QString unit; // the structural unit
    QString head;
    QString headPosition;
    QString chef; // head of production
    QString calculator;
    QString commission1;
    QString commission2;
    QString commission3;

    bool operator==(const OrganisationDetails&) const = default;

    // One detail: its field in Org, its caption on the page and in refusals, its longest text.
    struct Field
    {
        QString OrganisationDetails::*member;
        const char* column;
        QString caption;
        int limit;
    };
    // In the order of the page.
    static const QList<Field>& fields();

    // Why the details cannot be stored, naming the detail ("ИНН: ..."); empty when they can.
    QString refusal() const;

    // The one row; all empty when none was ever stored. Nothing with *error on a database failure.
    static std::optional<OrganisationDetails> load(QSqlDatabase db, QString* error);

    // Stores the details, trimmed, in one transaction; a refusal or a database failure is shown through
    // the prompts and leaves the stored row as it was.
    bool save(QSqlDatabase db, UserPrompts& prompts) const;
};

// Checks of the state's registration numbers, on their digits only; an empty number is not checked.
namespace registrationNumbers {

// Empty when the taxpayer number is sound: 10 digits (an organisation) or 12 (an individual
// entrepreneur) with their check digits; else what is wrong, in Russian.
QString innProblem(const QString& inn);
// КПП: 9 characters, four digits, two digits or capital Latin letters, three digits.
QString kppProblem(const QString& kpp);
// ОКПО: 8 digits (an organisation) or 10 (an individual entrepreneur).
QString okpoProblem(const QString& okpo);

} // namespace registrationNumbers
