// libFuzzer target: the RTF reader.
// - Any bytes as RTF: the reading ends, and gives at most one character or
//   paragraph break per byte read.
// - The same bytes as text written out as RTF: characters escaped as a writer
//   would (\\ \{ \}, \'hh for code page 1252, \uN? beyond it, \tab, \line,
//   \par) read back as the text, and each character has the bold, italic and
//   underline state that the toggles and groups around it set. In the text,
//   bytes 1, 2 and 3 toggle bold, italic and underline, 4 opens a group and 5
//   closes one.
#include "fuzz_check.h"
#include "platform/cp1252.h"
#include "ui/rtf_reader.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <cstdint>
#include <vector>

namespace {

struct Style {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const Style &other) const {
        return bold == other.bold && italic == other.italic && underline == other.underline;
    }
};

struct Character {
    QChar c; // QChar::ParagraphSeparator between paragraphs, whose style is not compared
    Style style;
    bool operator==(const Character &other) const {
        return c == other.c && (c == QChar::ParagraphSeparator || style == other.style);
    }
};

std::vector<Character> Characters(const QTextDocument &document) {
    std::vector<Character> out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            out.push_back(Character{QChar::ParagraphSeparator, Style()});
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const Style style{format.fontWeight() == QFont::Bold, format.fontItalic(),
                              format.fontUnderline()};
            for (QChar c : fragment.text())
                out.push_back(Character{c, style});
        }
    }
    return out;
}

QByteArray Escaped(QChar c) {
    const char16_t u = c.unicode();
    if (u == '\\' || u == '{' || u == '}')
        return QByteArray(1, '\\') + static_cast<char>(u);
    if (u == '\n')
        return "\\par ";
    if (u == '\t')
        return "\\tab ";
    if (u == 0x2028)
        return "\\line ";
    if (u == 0xA0)
        return "\\~";
    if (u < 0x80)
        return QByteArray(1, static_cast<char>(u));
    if (FitsCp1252(QString(c)))
        return "\\'" + EncodeCp1252(QString(c)).toHex();
    const int signedCode = u < 0x8000 ? u : u - 0x10000;
    return "\\u" + QByteArray::number(signedCode) + "?";
}

void CheckWrittenText(const QByteArray &input) {
    const QString text = QString::fromUtf8(input);
    QByteArray rtf = "{\\rtf1\\ansi\\deff0 ";
    std::vector<Character> expected;
    std::vector<Style> groups;
    Style style;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case 1:
            style.bold = !style.bold;
            rtf += style.bold ? "\\b " : "\\b0 ";
            continue;
        case 2:
            style.italic = !style.italic;
            rtf += style.italic ? "\\i " : "\\i0 ";
            continue;
        case 3:
            style.underline = !style.underline;
            rtf += style.underline ? "\\ul " : "\\ulnone ";
            continue;
        case 4:
            groups.push_back(style);
            rtf += '{';
            continue;
        case 5:
            if (!groups.empty()) {
                style = groups.back();
                groups.pop_back();
                rtf += '}';
            }
            continue;
        default:
            break;
        }
        // Control characters are no text; paragraph and frame marks are the document's own.
        if ((u < 0x20 && u != '\t' && u != '\n') || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1)
            continue;
        rtf += Escaped(c);
        expected.push_back(Character{u == '\n' ? QChar::ParagraphSeparator : c, style});
    }
    rtf += '}';
    QTextDocument document;
    ReadRtf(rtf, &document);
    FUZZ_CHECK(Characters(document) == expected);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    static int argc = 1;
    static char name[] = "fuzz_rtf_reader";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size > 16 * 1024)
        return 0; // a readme is a few kilobytes
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QTextDocument document;
    ReadRtf(input, &document);
    FUZZ_CHECK(document.toRawText().size() <= input.size());
    CheckWrittenText(input);
    return 0;
}
