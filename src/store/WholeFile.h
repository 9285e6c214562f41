#pragma once

#include <QByteArray>
#include <QString>

// Writes the file whole or not at all (a temporary file renamed over it): a failure keeps what was
// there. False with "Не удалось записать файл …" in *error.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error);
