#include "Field.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// The user's decimal separator, without thousands grouping: "1000,50", as the formats "0.00" show it.
QLocale numberLocale()
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

int decimalsOf(const QString& format)
{
    const qsizetype dot = format.indexOf(u'.');
    return dot < 0 ? 0 : int(format.size() - dot - 1);
}

} // namespace

FieldInfo FieldInfo::fromDeclaration(const QString& name, const QString& declared, bool primaryKey)
{
    FieldInfo info{name, FieldType::Float, 0};
    const QString type = declared.toUpper();
    static const QRegularExpression varchar(u"^VARCHAR\\((\\d+)\\)$"_s);
    if (primaryKey)
        info.type = FieldType::Key;
    else if (const auto match = varchar.match(type); match.hasMatch()) {
        info.type = FieldType::String;
        info.size = match.captured(1).toInt();
    } else if (type == QLatin1String("TEXT"))
        info.type = FieldType::Memo;
    else if (type == QLatin1String("DATE"))
        info.type = FieldType::Date;
    else if (type == QLatin1String("BOOLEAN"))
        info.type = FieldType::Bool;
    return info;
}

bool FieldInfo::fromInput(const QVariant& input, QVariant* stored, QString* error) const
{
    const bool isText = input.typeId() == QMetaType::QString;
    const QString text = isText ? input.toString().trimmed() : QString();
    if (input.isNull() ||
        (isText && text.isEmpty() && type != FieldType::String && type != FieldType::Memo)) {
        *stored = QVariant();
        return true;
    }
    switch (type) {
    case FieldType::Key:
        *error = u"Ключ записи присваивается программой и не редактируется."_s;
        return false;
    case FieldType::Float: {
        bool ok = true;
        double number = 0;
        if (isText) {
            number = QLocale().toDouble(text, &ok);
            if (!ok) {
                QLocale c = QLocale::c();
                c.setNumberOptions(QLocale::RejectGroupSeparator);
                number = c.toDouble(text, &ok);
            }
        } else {
            number = input.toDouble(&ok);
        }
        // "inf" and "nan" convert, but no price, weight or percent can be stored as one.
        if (!ok || !std::isfinite(number)) {
            *error = u"\"%1\" не является числом. Введите число, например %2."_s.arg(
                isText ? text : input.toString(), u"12"_s + QLocale().decimalPoint() + u"50"_s);
            return false;
        }
        *stored = number;
        return true;
    }
    case FieldType::Bool:
        *stored = input.toBool() ? 1 : 0;
        return true;
    case FieldType::Date: {
        QDate date = input.typeId() == QMetaType::QDate ? input.toDate() : QDate();
        if (isText) {
            date = QDate::fromString(text, u"dd.MM.yyyy"_s);
            if (!date.isValid())
                date = QDate::fromString(text, Qt::ISODate);
        }
        if (!date.isValid()) {
            *error = missingDateMessage(isText ? text : input.toString());
            return false;
        }
        *stored = date.toString(Qt::ISODate);
        return true;
    }
    case FieldType::String:
    case FieldType::Memo: {
        const QString value = input.toString();
        if (type == FieldType::String && value.size() > size) {
            *error = u"Текст слишком длинный: в поле \"%1\" помещается не более %2 символов, "
                     "введено %3."_s.arg(name)
                         .arg(size)
                         .arg(value.size());
            return false;
        }
        *stored = value;
        return true;
    }
    }
    return false;
}

QVariant FieldInfo::toText(const QVariant& value, const QString& format, bool forEditing) const
{
    if (value.isNull())
        return forEditing ? QVariant(QString()) : QVariant();
    if (type == FieldType::Date)
        return QDate::fromString(value.toString(), Qt::ISODate).toString(u"dd.MM.yyyy"_s);
    const bool numeric = value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong ||
                         value.typeId() == QMetaType::Int;
    if (!numeric || type == FieldType::Key || type == FieldType::String)
        return value;
    if (!forEditing && !format.isEmpty())
        return numberLocale().toString(value.toDouble(), 'f', decimalsOf(format));
    return numberLocale().toString(value.toDouble(), 'f', QLocale::FloatingPointShortest);
}

QString missingDateMessage(const QString& typed)
{
    return u"Такой даты нет: \"%1\". Введите дату в виде ДД.ММ.ГГГГ."_s.arg(typed);
}
