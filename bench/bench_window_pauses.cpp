// The longest pause of the window's event loop while the real pages run their long operations on the
// large kitchen, offscreen: a timer of 10 ms notes the gaps between its ticks. Separately the pause
// while the operation's worker runs and over the whole button press, which also writes the .xlsx file
// on the window's thread.
//
//   bench_window_pauses [--dishes N] [--lines N]

#include "LargeKitchen.h"

#include "costing/ui/CostingCardPrintDialog.h"
#include "costing/ui/CostingPage.h"
#include "costing/ui/EnterpriseChoiceDialog.h"
#include "reports/SpreadsheetLauncher.h"
#include "store/ui/WorkerRun.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// Answers every question with OK and prints what the user would be told.
class SilentPrompts : public UserPrompts
{
public:
    using UserPrompts::confirm;
    bool confirm(const QString&, const QString&, Default) override { return true; }
    void inform(const QString& caption, const QString& text) override { tell(caption, text); }
    void warn(const QString& caption, const QString& text) override { tell(caption, text); }
    int choose(const QString&, const QString&, const QStringList&) override { return 0; }

private:
    static void tell(const QString& caption, const QString& text)
    {
        std::printf("  %s: %s\n", qPrintable(caption), qPrintable(text));
    }
};

class NoLauncher : public SpreadsheetLauncher
{
public:
    bool open(const QString& path) override
    {
        std::printf("  file written: %.1f MB\n", static_cast<double>(QFileInfo(path).size()) / 1e6);
        return true;
    }
    bool openFolder(const QString&) override { return true; }
};

// The gaps between ticks of a 10 ms timer: the longest while a worker ran, and the longest at all.
class PauseMeter
{
public:
    PauseMeter()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        m_longest = m_longestInWorker = 0;
        m_workerRan = false;
        m_clock.start();
        m_timer.start();
    }
    // The time since the last tick counts too: the file is written last, with no tick after it.
    void stop()
    {
        tick();
        m_timer.stop();
    }
    double longest() const { return m_longest; }
    double longestInWorker() const { return m_longestInWorker; }

private:
    void tick()
    {
        const double gap = static_cast<double>(m_clock.nsecsElapsed()) / 1e6;
        m_clock.start();
        m_longest = std::max(m_longest, gap);
        if (m_workerRan && workerRunning())
            m_longestInWorker = std::max(m_longestInWorker, gap);
        m_workerRan = workerRunning();
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_longest = 0;
    double m_longestInWorker = 0;
    bool m_workerRan = false;
};

// Accepts the next modal dialogs of the print as a user would, choosing with `choose` first.
template <typename Dialog, typename Choose> void acceptNext(Choose choose)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, choose] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->deleteLater();
        timer->stop();
        choose(dialog);
        dialog->accept();
    });
    timer->start();
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const largekitchen::Size size = largekitchen::sizeFromArguments(app.arguments());
    largekitchen::TemporaryKitchen kitchen(size);
    if (!kitchen.database)
        return largekitchen::fail(kitchen.error);
    // The print-outs go to the documents folder: keep them with the kitchen.
    qputenv("HOME", kitchen.dir.path().toLocal8Bit());
    std::printf("kitchen: %d dishes x %d lines, %d ingredients\n", size.dishes, size.linesPerDish,
                size.ingredients + size.semiFinished);
    {
        SilentPrompts prompts;
        NoLauncher launcher;
        CostingPage page(&prompts);
        page.setSpreadsheetLauncher(&launcher);
        QString error;
        if (!page.openViews(kitchen.database->connection(), &error))
            return largekitchen::fail(error);
        page.resize(1366, 700);
        page.show();
        QApplication::processEvents();

        PauseMeter meter;
        acceptNext<CostingCardPrintDialog>(
            [](CostingCardPrintDialog* dialog) { dialog->allGroupsButton()->setChecked(true); });
        QElapsedTimer total;
        acceptNext<EnterpriseChoiceDialog>([&](EnterpriseChoiceDialog*) {
            // The dialogs are modal: measured from the moment the print itself begins.
            meter.start();
            total.start();
        });
        page.printButton()->click();
        meter.stop();
        std::printf("all costing cards, page \"Калькуляционные карты\"\n");
        std::printf("  the print and its file                   %8.1f ms\n",
                    static_cast<double>(total.nsecsElapsed()) / 1e6);
        std::printf("  longest pause while the worker ran       %8.1f ms\n", meter.longestInWorker());
        std::printf("  longest pause, the file written included %8.1f ms\n", meter.longest());
        page.closeViews();
    }
    kitchen.database->close();
    return 0;
}
