#include "exchange/Envelope.h"
#include "exchange/SalesSummaryFile.h"

#include <QBuffer>

#include <cstdlib>

// The input is the plain content: it is wrapped in a valid envelope so the fuzzer reaches the text
// checks; one input in four is read as stored bytes, envelope and all.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray stored = input;
    if (size % 4 != 0) {
        const std::optional<QByteArray> wrapped = Envelope::wrap(input, "202401010101010");
        if (!wrapped)
            return 0;
        stored = *wrapped;
        if (Envelope::unwrap(stored).plain != input)
            std::abort();
    }
    QBuffer buffer;
    buffer.setData(stored);
    buffer.open(QIODevice::ReadOnly);
    const SalesSummaryFile::ReadResult read = SalesSummaryFile::read(buffer);
    if (read.summary.has_value() != (read.problem == SalesSummaryFile::Problem::None))
        std::abort();
    return 0;
}
