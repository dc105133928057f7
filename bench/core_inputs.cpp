#include "core_inputs.h"

#include <cstdint>

namespace {

// A small linear congruential generator: the same inputs on every machine.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : m_state(seed) {}
    std::uint32_t Next(std::uint32_t bound) {
        m_state = m_state * 1664525u + 1013904223u;
        return (m_state >> 8) % bound;
    }

private:
    std::uint32_t m_state;
};

QString Markers(int depth) {
    return QStringLiteral("| ").repeated(depth);
}

} // namespace

QStringList GenerateConvertedText(int lineCount) {
    Lcg rng(12345);
    QStringList lines;
    lines.reserve(lineCount + 16);
    lines << QStringLiteral("unit_data") << QStringLiteral("{");
    int depth = 0; // depth of the innermost open table
    int n = 0;
    while (lines.size() < lineCount - depth - 1) {
        const std::uint32_t roll = rng.Next(10);
        if (depth == 0 || (roll < 2 && depth < 6)) {
            lines << Markers(depth + 1) + QStringLiteral("table_%1: {").arg(n++);
            ++depth;
        } else if (roll < 3) {
            lines << Markers(depth) + QStringLiteral("}");
            --depth;
        } else if (roll < 6) {
            lines << Markers(depth + 1) + QStringLiteral("speed_%1: %2.5;").arg(n++).arg(rng.Next(1000));
        } else {
            lines << Markers(depth + 1) +
                         QStringLiteral("label_%1: \"Gate %2 of the north\";").arg(n++).arg(rng.Next(100));
        }
    }
    while (depth > 0)
        lines << Markers(depth--) + QStringLiteral("}");
    lines << QStringLiteral("}");
    return lines;
}

QByteArray GenerateUcsFile(int lineCount) {
    Lcg rng(777);
    QString text;
    text.reserve(lineCount * 40);
    for (int i = 0; i < lineCount; ++i) {
        text += QString::number(100000 + i);
        text += QLatin1Char('\t');
        text += QStringLiteral("String number %1 of the table").arg(rng.Next(100000));
        if (i % 7 == 0)
            text += QString::fromUtf16(u" \u00E9t\u00E9 \u20AC \u0416\u4E2D");
        text += QStringLiteral("\r\n");
    }
    QByteArray bytes("\xFF\xFE", 2);
    bytes.reserve(2 + text.size() * 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray GenerateIniFile(int sections, int keysPerSection) {
    QByteArray bytes;
    for (int s = 0; s < sections; ++s) {
        bytes += "[Section" + QByteArray::number(s) + "]\r\n";
        for (int k = 0; k < keysPerSection; ++k)
            bytes += "Key" + QByteArray::number(k) + " = \"value " + QByteArray::number(s * k) + "\"\r\n";
    }
    return bytes;
}
