#pragma once

#include <QString>

#include <optional>

// The point-of-sale program a menu goes to and sales come from: the sibling program, which takes the
// scrambled menu file and gives sales summaries, or Torg Service, which takes and gives dBase tables.
// The window's choice and the command line's --target both name one of these.
enum class PointOfSale
{
    Bufeton,
    TorgService
};

// The program of a command line's --target ("buffeton" or "torg"); nothing for another name.
std::optional<PointOfSale> pointOfSaleNamed(const QString& name);

// The suffix a file dialog or the command line adds to a menu file and a sales file of the program.
QString menuFileSuffix(PointOfSale program);
QString salesFileSuffix(PointOfSale program);
