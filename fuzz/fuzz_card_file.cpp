#include "exchange/CardFile.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char*>(data), qsizetype(size));
    buffer.open(QIODevice::ReadOnly);
    const CardFile::ReadResult read = CardFile::read(buffer, size % 2 ? QChar(u',') : QChar(u'.'));
    if (read.content) {
        // What was accepted must have the layout the reader promises.
        volatile qsizetype rows = read.content->rows.size();
        (void)rows;
    }
    return 0;
}
