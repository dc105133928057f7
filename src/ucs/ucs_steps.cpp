#include "ucs/ucs_steps.h"

#include "ucs/string_table.h"

QStringList DecodeUcsTextInSteps(const QByteArray &fileBytes, const std::function<void()> &between,
                                 qsizetype stepBytes) {
    const char *data = fileBytes.constData();
    const qsizetype size = fileBytes.size();
    const auto unitAt = [data](qsizetype at) {
        return static_cast<unsigned char>(data[at]) | (static_cast<unsigned char>(data[at + 1]) << 8);
    };
    const QByteArray mark = fileBytes.left(2);
    QStringList lines;
    for (qsizetype start = 2; start < size;) {
        // A piece ends just after a line feed, so that no line and no CR LF pair is cut in two, or
        // at the first code unit 0, where the text ends.
        const qsizetype wanted = start + qMax<qsizetype>(2, stepBytes);
        qsizetype stop = start;
        bool textEnds = false;
        while (stop + 1 < size) {
            const unsigned unit = unitAt(stop);
            if (unit == 0) {
                textEnds = true;
                break;
            }
            stop += 2;
            if (unit == '\n' && stop >= wanted)
                break;
        }
        if (!textEnds && stop + 1 >= size)
            stop = size; // the rest, an odd last byte included
        lines.append(DecodeUcsText(mark + QByteArray::fromRawData(data + start, stop - start)));
        if (textEnds)
            break;
        start = stop;
        if (start < size && between)
            between();
    }
    return lines;
}
