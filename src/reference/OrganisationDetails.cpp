#include "OrganisationDetails.h"

#include "store/Database.h"
#include "store/UserPrompts.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace registrationNumbers {

namespace {

bool allDigits(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The tax service's check digit: the weighted sum of the digits before it, modulo 11, then modulo 10.
template <std::size_t N> int checkDigit(const QString& digits, const std::array<int, N>& weights)
{
    int sum = 0;
    for (std::size_t i = 0; i < N; ++i)
        sum += weights[i] * (digits.at(qsizetype(i)).unicode() - u'0');
    return sum % 11 % 10;
}

int digitAt(const QString& digits, qsizetype index)
{
    return digits.at(index).unicode() - u'0';
}

} // namespace

QString innProblem(const QString& inn)
{
    if (inn.isEmpty())
        return {};
    if (!allDigits(inn) || (inn.size() != 10 && inn.size() != 12))
        return u"должен состоять из 10 цифр (организация) или 12 цифр (индивидуальный предприниматель)"_s;
    bool sound = false;
    if (inn.size() == 10) {
        sound = checkDigit(inn, std::array{2, 4, 10, 3, 5, 9, 4, 6, 8}) == digitAt(inn, 9);
    } else {
        sound = checkDigit(inn, std::array{7, 2, 4, 10, 3, 5, 9, 4, 6, 8}) == digitAt(inn, 10) &&
                checkDigit(inn, std::array{3, 7, 2, 4, 10, 3, 5, 9, 4, 6, 8}) == digitAt(inn, 11);
    }
    return sound ? QString() : u"неверные контрольные цифры"_s;
}

QString kppProblem(const QString& kpp)
{
    if (kpp.isEmpty())
        return {};
    static const QRegularExpression pattern(u"^[0-9]{4}[0-9A-Z]{2}[0-9]{3}$"_s);
    return pattern.match(kpp).hasMatch() ? QString()
                                         : u"должен состоять из 9 знаков: 4 цифры, 2 цифры или "
                                           u"заглавные латинские буквы, 3 цифры"_s;
}

QString okpoProblem(const QString& okpo)
{
    if (okpo.isEmpty())
        return {};
    return allDigits(okpo) && (okpo.size() == 8 || okpo.size() == 10) ? QString()
                                                                      : u"должен состоять из 8 или 10 цифр"_s;
}

} // namespace registrationNumbers

const QList<OrganisationDetails::Field>& OrganisationDetails::fields()
{
    using D = OrganisationDetails;
    static const QList<Field> list = {
        {&D::name, "Name", u"Наименование организации"_s, 100},
        {&D::form, "Form", u"Организационно-правовая форма"_s, 50},
        {&D::inn, "Inn", u"ИНН"_s, 12},
        {&D::kpp, "Kpp", u"КПП"_s, 9},
        {&D::okpo, "Okpo", u"ОКПО"_s, 10},
        {&D::address, "Address", u"Адрес"_s, 150},
        {&D::unit, "Unit", u"Структурное подразделение"_s, 100},
        {&D::head, "Head", u"Руководитель"_s, 60},
        {&D::headPosition, "HeadPosition", u"Должность руководителя"_s, 100},
        {&D::chef, "Chef", u"Заведующий производством"_s, 60},
        {&D::calculator, "Calculator", u"Калькуляцию составил"_s, 60},
        {&D::commission1, "Commission1", u"Член инвентаризационной комиссии 1"_s, 100},
        {&D::commission2, "Commission2", u"Член инвентаризационной комиссии 2"_s, 100},
        {&D::commission3, "Commission3", u"Член инвентаризационной комиссии 3"_s, 100},
    };
    return list;
}

QString OrganisationDetails::refusal() const
{
    for (const Field& field : fields()) {
        const QString& value = this->*field.member;
        if (value.size() > field.limit)
            return u"%1: не длиннее %2 знаков."_s.arg(field.caption).arg(field.limit);
    }
    const std::array checks{std::pair{u"ИНН"_s, registrationNumbers::innProblem(inn)},
                            std::pair{u"КПП"_s, registrationNumbers::kppProblem(kpp)},
                            std::pair{u"ОКПО"_s, registrationNumbers::okpoProblem(okpo)}};
    for (const auto& [caption, problem] : checks)
        if (!problem.isEmpty())
            return u"%1: %2."_s.arg(caption, problem);
    return {};
}

std::optional<OrganisationDetails> OrganisationDetails::load(QSqlDatabase db, QString* error)
{
    QStringList columns;
    for (const Field& field : fields())
        columns << QString::fromLatin1(field.column);
    OrganisationDetails details;
    const bool read = forEachRow(
        db, u"SELECT %1 FROM Org WHERE Kod = 1"_s.arg(columns.join(u", ")),
        [&](const QSqlQuery& query) {
            for (int i = 0; i < fields().size(); ++i)
                details.*fields()[i].member = query.value(i).toString();
        },
        error);
    if (!read)
        return std::nullopt;
    return details;
}

bool OrganisationDetails::save(QSqlDatabase db, UserPrompts& prompts) const
{
    OrganisationDetails trimmed = *this;
    for (const Field& field : fields())
        trimmed.*field.member = (trimmed.*field.member).trimmed();
    if (const QString why = trimmed.refusal(); !why.isEmpty()) {
        prompts.warn(u"Организация"_s, why);
        return false;
    }
    QStringList columns{u"Kod"_s};
    QStringList marks{u"1"_s};
    QVariantList values;
    for (const Field& field : fields()) {
        columns << QString::fromLatin1(field.column);
        marks << u"?"_s;
        values << trimmed.*field.member;
    }
    // The whole row is replaced: a detail cleared on the page is cleared in the kitchen too. Deleted and
    // inserted again, which every engine spells alike.
    const QString sql = u"INSERT INTO Org (%1) VALUES (%2)"_s.arg(columns.join(u", "), marks.join(u", "));
    QString error;
    const bool stored = inTransaction(db, &error, [&] {
        return execSql(db, u"DELETE FROM Org"_s, {}, &error) && execSql(db, sql, values, &error);
    });
    if (!stored) {
        prompts.warn(u"Ошибка"_s, u"Реквизиты организации не сохранены: %1"_s.arg(error));
        return false;
    }
    return true;
}
