#pragma once

#include "store/Worker.h"

class QWidget;
class UserPrompts;

// Runs a long operation on a Worker while a progress window says what it is doing, n of N, with
// "Отмена". The window is not modal: the main window repaints and its other pages can be looked at
// while the operation runs, and the call returns once the operation is over. One operation at a time in
// the program: while one runs, another is refused through the prompts. The operation asks and tells
// through Worker::prompts(), which reach these prompts on the window's thread; what it tells is shown
// once it is over. A failure has been told through the prompts; the outcome is Finished only when the
// operation's transaction was committed.
Worker::Outcome runInWorker(QWidget* parent, UserPrompts& prompts, const QString& caption,
                            const QSqlDatabase& kitchen, const Worker::Operation& operation);

// Whether an operation runs now: the main window is not closed under it.
bool workerRunning();
