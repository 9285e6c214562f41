#pragma once

#include "tools/KitchenCommands.h"

#include <QStringList>
#include <QTextStream>

// What a `kuhnemer-data` command run in the test's own process gave: its exit code and what it wrote
// to each of its two streams.
struct CommandOutcome
{
    int code = -1;
    QString out;
    QString err;
};

inline CommandOutcome runCommand(const QStringList& arguments)
{
    CommandOutcome outcome;
    QTextStream out(&outcome.out);
    QTextStream err(&outcome.err);
    outcome.code = commands::run(arguments, out, err);
    return outcome;
}
