#pragma once

#include <QByteArray>
#include <QIODevice>

#include <optional>

// Reads a whole device of at most the given size; nothing when it is larger. Nothing of the limit's
// size is allocated ahead: only what the device holds.
inline std::optional<QByteArray> readLimited(QIODevice& device, qint64 limit)
{
    if (!device.isSequential()) {
        if (device.size() - device.pos() > limit)
            return std::nullopt;
        return device.readAll();
    }
    QByteArray bytes;
    while (!device.atEnd() || device.waitForReadyRead(0)) {
        const QByteArray chunk = device.read(64 * 1024);
        if (chunk.isEmpty())
            break;
        bytes += chunk;
        if (bytes.size() > limit)
            return std::nullopt;
    }
    return bytes;
}
