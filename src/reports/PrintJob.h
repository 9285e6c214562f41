#pragma once

#include "reports/Workbook.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <type_traits>

// Something the user is told about a print-out besides the workbook: lines left out, a posted
// document that gets no working cards, a calculation refused on the way.
struct PrintNotice
{
    QString caption;
    QString text;
    bool warning = false; // a warning rather than an information
};

// What a print job gives back. Either a workbook with its title, or the refusal (caption and error);
// notices may come with both and are told first, in the order they arose.
struct PrintedWorkbook
{
    std::unique_ptr<Workbook> workbook; // null when the print-out was refused or failed
    QString title;                      // the telling name the file is named by
    QString outcome;                    // what was printed, for a report line; the title when empty
    QString caption;                    // of the refusal
    QString error;                      // why there is no workbook
    QList<PrintNotice> notices;

    // A refusal with its caption and reason.
    static PrintedWorkbook refused(const QString& caption, const QString& error)
    {
        PrintedWorkbook printed;
        printed.caption = caption;
        printed.error = error;
        return printed;
    }
    void inform(const QString& caption, const QString& text) { notices.append({caption, text, false}); }
    void warn(const QString& caption, const QString& text) { notices.append({caption, text, true}); }
};

// How far a print job is, in percent of its filling and, before each of its long steps, as "what, n
// of total". Both answer false when the user asked to stop: the job then returns at its next step,
// refused with PrintJob::cancelledText(), and its caller rolls back what it stored. An empty progress
// never stops.
class PrintProgress
{
public:
    using Percent = std::function<bool(int percent)>;
    using Step = std::function<bool(const QString& what, int n, int total)>;

    PrintProgress() = default;
    PrintProgress(std::nullptr_t) {}
    template <typename F>
    requires std::is_invocable_r_v<bool, F, int> PrintProgress(F percent) : m_percent(std::move(percent)) {}
    PrintProgress(Percent percent, Step step) : m_percent(std::move(percent)), m_step(std::move(step)) {}

    explicit operator bool() const { return m_percent || m_step; }
    bool operator()(int percent) const { return !m_percent || m_percent(percent); }
    bool step(const QString& what, int n, int total) const { return !m_step || m_step(what, n, total); }

private:
    Percent m_percent;
    Step m_step;
};

// One print-out with every choice made: it reads and checks what it needs, runs the calculation the
// print-out depends on and fills the workbook. A page asks the choices through its dialogs and hands
// the result to ReportOutput (reports/ui/PrintJobRun); `kuhnemer-data print` takes them from its
// options and saves the workbook under the given name. Both run the very same job, so the refusals,
// the notices and the cells cannot drift apart.
class PrintJob
{
public:
    using Progress = PrintProgress;

    static QString cancelledText()
    {
        using namespace Qt::StringLiterals;
        return u"Печать отменена."_s;
    }

    virtual ~PrintJob() = default;

    virtual PrintedWorkbook run(const Progress& progress) = 0;
};
