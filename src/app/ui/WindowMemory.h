#pragma once

#include <QRect>

class DataGrid;
class QObject;
class QSettings;
class QWidget;

// What the user made of the main window, kept per user between runs: its place and size, whether it
// was maximised, the splitters and the column widths the user dragged. The settings are given, so
// that tests keep theirs in a file of their own.
class WindowMemory
{
public:
    explicit WindowMemory(QSettings& settings) : m_settings(settings) {}

    // Before the window is first shown. The place is restored only on the screen it was left on (a
    // screen that is gone leaves the window's own placement) and is kept inside that screen's
    // available area. Returns whether the place was restored.
    bool restore(QWidget& window);
    void save(const QWidget& window);
    // From now on, for as long as owner lives: the column widths the user dragged in a dialog's grids,
    // restored each time a dialog shows and kept when it hides, by the dialog's class and the grid's
    // place in it. The settings must outlive owner.
    void rememberDialogGrids(QObject* owner);

    // The frame moved and, when larger, cut to lie wholly inside the available area.
    static QRect keptInside(const QRect& frame, const QRect& available);

private:
    void restoreParts(QWidget& window);
    void saveParts(const QWidget& window);
    void restoreWidths(const QString& key, DataGrid& grid);
    void saveWidths(const QString& key, const DataGrid& grid);

    QSettings& m_settings;
};
