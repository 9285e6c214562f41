#include "InfoPage.h"

#include <QDir>
#include <QTextBrowser>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

InfoPage::InfoPage(QWidget* parent) : Page(parent), m_text(new QTextBrowser(this))
{
    setDataDirectory(QString());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
}

QString InfoPage::text() const
{
    return m_text->toPlainText();
}

void InfoPage::setDataDirectory(const QString& dataDir)
{
    m_text->setHtml(
        u"<h2>Кухнемер (V-3.4.4)</h2>"
        "<p>Программа для поваров, заведующих производством и калькуляторов столовых, кафе и ресторанов.</p>"
        "<ul>"
        "<li>Справочники ингредиентов с ценами, наценками и процентом выхода; полуфабрикаты и их состав.</li>"
        "<li>Блюда с калькуляционными картами и рецептами; расчёт цены одной порции с точностью до "
        "копейки.</li>"
        "<li>Меню, продажные цены с округлением, документы реализации и расход продуктов.</li>"
        "<li>Склад: остатки, приход и расход, инвентаризация, оборотная ведомость.</li>"
        "<li>Все печатные формы открываются в приложении электронных таблиц.</li>"
        "</ul>"
        "<p>Новые записи вносятся клавишей <b>Insert</b>; запись сохраняется на диске, как только вы "
        "переходите на другую строку или в другое поле. Удаление выполняется кнопками, которые проверяют, "
        "не используется ли запись.</p>"
        "<p>Данные этой кухни хранятся в каталоге <tt>%1</tt>, в одном файле <tt>kuhnemer.sqlite</tt>; "
        "другую кухню открывает параметр <tt>--data КАТАЛОГ</tt>. Резервную копию можно сделать, не "
        "закрывая программу: <tt>kuhnemer-data backup КАТАЛОГ</tt> копирует базу целиком в "
        "КАТАЛОГ/backup (или в указанный файл).</p>"_s.arg(
            dataDir.isEmpty() ? u"DATA"_s : QDir::toNativeSeparators(dataDir).toHtmlEscaped()));
}
