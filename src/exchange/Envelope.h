#pragma once

#include <QByteArray>
#include <QDateTime>

#include <array>
#include <optional>

// The scrambled envelope of the menu files and sales summaries exchanged with the sibling
// point-of-sale program: 15 seed digits, the plain content's byte sum as 10 digits, then the content
// combined byte by byte (exclusive or) with the output of a shift-register generator.
class Envelope
{
public:
    static constexpr int seedLength = 15;
    static constexpr int checksumLength = 10;
    static constexpr int headerLength = seedLength + checksumLength;
    // The checksum's ten digits hold sums below 10^10.
    static constexpr qint64 largestChecksum = 9999999999;

    // The generator of the envelope, seeded with 15 bytes.
    class Generator
    {
    public:
        explicit Generator(const QByteArray& seed);
        quint8 next();

    private:
        std::array<quint8, 128> m_register{};
        int m_head = 0; // index of R[0] in the ring
    };

    // The seed of a moment: "yyyyMMhhmmsszzz"; the day of the month is not part of it.
    static QByteArray seedOf(const QDateTime& moment);
    // The sum of the bytes, each 0 to 255.
    static qint64 checksum(const QByteArray& plain);

    // The stored file for a plain content; nothing when the content is too large for the checksum.
    static std::optional<QByteArray> wrap(const QByteArray& plain, const QByteArray& seed);

    enum class Problem
    {
        None,
        NotDigits,
        Checksum
    };
    struct Unwrapped
    {
        QByteArray plain;
        Problem problem = Problem::None;
    };
    // Checks the 25 digits and the checksum; the plain content only when both hold.
    static Unwrapped unwrap(const QByteArray& stored);
};
