#pragma once

#include <QString>
#include <QtGlobal>

// Numbers and sums of money in Russian words, as the state's accounting forms write them: lower
// case, the rubles in words and the kopecks as two digits ("сто двадцать три рубля 05 копеек").
// A negative number is written with "минус" in front rather than refused: a difference of stock or a
// returned sale may be below zero, and the form must still say it.
namespace amountInWords {

// The grammatical gender of the counted unit: "один рубль", "одна тысяча", "одно место".
enum class Gender
{
    Masculine,
    Feminine,
    Neuter
};

// The form of a noun that agrees with the number: one ("рубль"), few ("рубля") or many ("рублей").
// 11 to 14 take "many" whatever their last digit.
QString agreeing(qint64 value, const QString& one, const QString& few, const QString& many);

// The whole number in words, its last group agreeing with the gender of what it counts.
QString number(qint64 value, Gender gender = Gender::Masculine);

// A sum given in kopecks: "одна тысяча рублей 00 копеек".
QString rubles(qint64 kopecks);

// The number of lines of a list, as an inventory list states it at its end ("двадцать один").
QString lineCount(qint64 lines);

} // namespace amountInWords
