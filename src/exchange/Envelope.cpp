#include "Envelope.h"

using namespace Qt::StringLiterals;

Envelope::Generator::Generator(const QByteArray& seed)
{
    for (int k = 0; k < 128; ++k)
        m_register[size_t(k)] = k < seedLength && k < seed.size() ? quint8(seed[k]) : quint8(k + 1);
    for (int i = 0; i < 128; ++i)
        next();
}

quint8 Envelope::Generator::next()
{
    // The register is a ring: R[k] is m_register[(m_head + k) % 128]; a step moves every byte one
    // place up by moving the head down and puts the new byte at R[0] over the old R[127].
    static constexpr int taps[] = {0, 2, 4, 6, 10, 12, 16, 18, 22, 28, 35, 126};
    unsigned sum = 0;
    for (int tap : taps)
        sum += m_register[size_t((m_head + tap) & 127)];
    const quint8 t = quint8(sum % 255);
    m_head = (m_head + 127) & 127;
    m_register[size_t(m_head)] = t;
    return t;
}

QByteArray Envelope::seedOf(const QDateTime& moment)
{
    return moment.toString(u"yyyyMMhhmmsszzz"_s).toLatin1();
}

qint64 Envelope::checksum(const QByteArray& plain)
{
    qint64 sum = 0;
    for (char c : plain)
        sum += quint8(c);
    return sum;
}

std::optional<QByteArray> Envelope::wrap(const QByteArray& plain, const QByteArray& seed)
{
    const qint64 sum = checksum(plain);
    if (sum > largestChecksum || seed.size() != seedLength)
        return std::nullopt;
    QByteArray stored = seed + QByteArray::number(sum).rightJustified(checksumLength, '0');
    stored.reserve(headerLength + plain.size());
    Generator generator(seed);
    for (char c : plain)
        stored += char(quint8(c) ^ generator.next());
    return stored;
}

Envelope::Unwrapped Envelope::unwrap(const QByteArray& stored)
{
    Unwrapped result;
    if (stored.size() < headerLength) {
        result.problem = Problem::NotDigits;
        return result;
    }
    for (int i = 0; i < headerLength; ++i) {
        if (stored[i] < '0' || stored[i] > '9') {
            result.problem = Problem::NotDigits;
            return result;
        }
    }
    const qint64 expected = stored.mid(seedLength, checksumLength).toLongLong();
    Generator generator(stored.left(seedLength));
    QByteArray plain;
    plain.reserve(stored.size() - headerLength);
    qint64 sum = 0;
    for (qsizetype i = headerLength; i < stored.size(); ++i) {
        const quint8 byte = quint8(quint8(stored[i]) ^ generator.next());
        sum += byte;
        plain += char(byte);
    }
    if (sum != expected) {
        result.problem = Problem::Checksum;
        return result;
    }
    result.plain = std::move(plain);
    return result;
}
