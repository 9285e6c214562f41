#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The five texts of the menu print, remembered between runs in "Sm.db" in the data directory: despite
// its name a text file of five lines in Windows-1251 with CR LF ends, which other installations may
// share. Lines in the order of MenuPrintSettings::Line.
class MenuPrintSettings
{
public:
    enum Line
    {
        WholeWord,
        FractionWord,
        NameHeading,
        YieldHeading,
        PriceHeading,
        LineCount
    };

    explicit MenuPrintSettings(const QString& dataDir);

    static QStringList defaults();
    QString filePath() const { return m_path; }

    // The five texts (a missing line reads as empty); the file is created with the defaults when it
    // does not exist. Nothing and the reason on failure.
    std::optional<QStringList> load(QString* error) const;

    // Rewrites the file with the texts when any of them differs from the file's (exactly, case
    // included); an unchanged file is left untouched. A text that Windows-1251 cannot hold is refused
    // before anything is written. False and the reason on failure; *written says whether it wrote.
    bool save(const QStringList& texts, QString* error, bool* written = nullptr) const;

private:
    bool write(const QStringList& texts, QString* error) const;

    QString m_path;
};
