#include "ui/rtf_reader.h"

#include "platform/cp1252.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <cctype>

namespace {

constexpr int kMaxDepth = 256;     // deeper groups are read as part of their parent
constexpr int kMaxWordLength = 32; // longer control words are unknown
constexpr qint64 kMaxParameter = 1000000000;
constexpr double kTwipsPerPixel = 15.0; // 1440 twips per inch at 96 pixels per inch

enum class Destination { Text, FontTable, ColorTable, Skip };

struct State {
    Destination destination = Destination::Text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int font = -1;
    int color = 0;
    int unicodeSkip = 1;
    Qt::Alignment alignment = Qt::AlignLeft;
    int spaceBefore = 0; // twips
    int spaceAfter = 0;
    int leftIndent = 0;
    int firstIndent = 0;
};

class Reader {
public:
    Reader(const QByteArray &rtf, QTextDocument *document) : m_in(rtf), m_cursor(document) {}

    void run() {
        while (m_pos < m_in.size()) {
            const char c = m_in.at(m_pos++);
            switch (c) {
            case '{':
                flush();
                if (m_stack.size() < kMaxDepth)
                    m_stack.append(m_state);
                else
                    ++m_overflow;
                break;
            case '}':
                flush();
                if (m_overflow > 0)
                    --m_overflow;
                else if (!m_stack.isEmpty())
                    m_state = m_stack.takeLast();
                break;
            case '\\':
                control();
                break;
            case '\r':
            case '\n':
                break;
            default:
                character(DecodeCp1252(QByteArray(1, c)).at(0));
                break;
            }
        }
        flush();
    }

private:
    void control() {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in.at(m_pos);
        if (std::isalpha(static_cast<unsigned char>(c))) {
            word();
            return;
        }
        ++m_pos;
        switch (c) {
        case '\'':
            hexByte();
            break;
        case '\\':
        case '{':
        case '}':
            character(QLatin1Char(c));
            break;
        case '~':
            character(QChar(0x00A0));
            break;
        case '_':
            character(QChar(0x2011));
            break;
        case '*':
            // An ignorable destination: none of them carries text that the readme needs.
            flush();
            m_state.destination = Destination::Skip;
            break;
        case '\r':
        case '\n':
            paragraph();
            break;
        default:
            break; // \- (optional hyphen) and unknown symbols
        }
    }

    void hexByte() {
        int value = 0;
        int digits = 0;
        while (digits < 2 && m_pos < m_in.size() &&
               std::isxdigit(static_cast<unsigned char>(m_in.at(m_pos)))) {
            const int h = std::tolower(static_cast<unsigned char>(m_in.at(m_pos)));
            value = value * 16 + (std::isdigit(h) ? h - '0' : h - 'a' + 10);
            ++digits;
            ++m_pos;
        }
        // A truncated escape stands for nothing.
        if (digits == 2)
            character(DecodeCp1252(QByteArray(1, static_cast<char>(value))).at(0));
    }

    void word() {
        QByteArray name;
        while (m_pos < m_in.size() && std::isalpha(static_cast<unsigned char>(m_in.at(m_pos)))) {
            if (name.size() <= kMaxWordLength)
                name.append(m_in.at(m_pos));
            ++m_pos;
        }
        bool hasParameter = false;
        bool negative = false;
        qint64 value = 0;
        if (m_pos + 1 < m_in.size() && m_in.at(m_pos) == '-' &&
            std::isdigit(static_cast<unsigned char>(m_in.at(m_pos + 1)))) {
            negative = true;
            ++m_pos;
        }
        while (m_pos < m_in.size() && std::isdigit(static_cast<unsigned char>(m_in.at(m_pos)))) {
            hasParameter = true;
            value = qMin(kMaxParameter, value * 10 + (m_in.at(m_pos) - '0'));
            ++m_pos;
        }
        if (m_pos < m_in.size() && m_in.at(m_pos) == ' ')
            ++m_pos;
        if (name.size() > kMaxWordLength)
            return;
        flush();
        apply(name, hasParameter, static_cast<int>(negative ? -value : value));
    }

    static bool flag(bool hasParameter, int parameter) { return !hasParameter || parameter != 0; }

    void apply(const QByteArray &name, bool hasParameter, int parameter) {
        if (name == "bin") {
            // Binary data: skipped whatever the destination.
            m_pos += qBound(0, parameter, static_cast<int>(m_in.size() - m_pos));
            return;
        }
        if (m_state.destination == Destination::Skip)
            return;
        static const QList<QByteArray> skipped = {
            "stylesheet",        "info",      "pict",      "header",    "headerl",
            "headerr",           "headerf",   "footer",    "footerl",   "footerr",
            "footerf",           "footnote",  "object",    "fldinst",   "listtable",
            "listoverridetable", "rsidtbl",   "generator", "themedata", "colorschememapping",
            "latentstyles",      "datastore", "xmlnstbl"};
        if (skipped.contains(name)) {
            m_state.destination = Destination::Skip;
        } else if (name == "fonttbl") {
            m_state.destination = Destination::FontTable;
        } else if (name == "colortbl") {
            m_state.destination = Destination::ColorTable;
            m_colors.clear();
        } else if (m_state.destination == Destination::FontTable) {
            if (name == "f") {
                m_fontNumber = parameter;
                m_fontName.clear();
            }
        } else if (m_state.destination == Destination::ColorTable) {
            const int component = qBound(0, parameter, 255);
            if (name == "red")
                m_rgb[0] = component;
            else if (name == "green")
                m_rgb[1] = component;
            else if (name == "blue")
                m_rgb[2] = component;
            else
                return;
            m_rgbSet = true;
        } else {
            textControl(name, hasParameter, parameter);
        }
    }

    void textControl(const QByteArray &name, bool hasParameter, int parameter) {
        static const QHash<QByteArray, char16_t> symbols = {
            {"tab", u'\t'},        {"line", 0x2028},    {"bullet", 0x2022},  {"emdash", 0x2014},
            {"endash", 0x2013},    {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C},
            {"rdblquote", 0x201D}, {"emspace", 0x2003}, {"enspace", 0x2002},
        };
        State &s = m_state;
        if (name == "par" || name == "sect" || name == "page") {
            paragraph();
        } else if (symbols.contains(name)) {
            character(QChar(symbols.value(name)));
        } else if (name == "deff") {
            m_defaultFont = parameter;
        } else if (name == "pard") {
            const State plain;
            s.alignment = plain.alignment;
            s.spaceBefore = plain.spaceBefore;
            s.spaceAfter = plain.spaceAfter;
            s.leftIndent = plain.leftIndent;
            s.firstIndent = plain.firstIndent;
        } else if (name == "plain") {
            const State plain;
            s.bold = plain.bold;
            s.italic = plain.italic;
            s.underline = plain.underline;
            s.halfPoints = plain.halfPoints;
            s.font = -1;
            s.color = 0;
        } else if (name == "b") {
            s.bold = flag(hasParameter, parameter);
        } else if (name == "i") {
            s.italic = flag(hasParameter, parameter);
        } else if (name == "ul") {
            s.underline = flag(hasParameter, parameter);
        } else if (name == "ulnone") {
            s.underline = false;
        } else if (name == "fs") {
            if (hasParameter && parameter > 0)
                s.halfPoints = qBound(2, parameter, 2000);
        } else if (name == "f") {
            s.font = parameter;
        } else if (name == "cf") {
            s.color = parameter;
        } else if (name == "ql" || name == "qc" || name == "qr" || name == "qj") {
            s.alignment = name == "qc"   ? Qt::AlignHCenter
                          : name == "qr" ? Qt::AlignRight
                          : name == "qj" ? Qt::AlignJustify
                                         : Qt::AlignLeft;
        } else if (name == "sb") {
            s.spaceBefore = qBound(0, parameter, 14400);
        } else if (name == "sa") {
            s.spaceAfter = qBound(0, parameter, 14400);
        } else if (name == "li") {
            s.leftIndent = qBound(0, parameter, 14400);
        } else if (name == "fi") {
            s.firstIndent = qBound(-14400, parameter, 14400);
        } else if (name == "uc") {
            s.unicodeSkip = qBound(0, parameter, 8);
        } else if (name == "u" && hasParameter) {
            int code = parameter < 0 ? parameter + 65536 : parameter;
            if (code < 0 || code > 0xFFFF)
                code = 0xFFFD;
            character(QChar(static_cast<char16_t>(code)));
            m_skip = s.unicodeSkip;
        }
    }

    void character(QChar c) {
        if (m_skip > 0) {
            --m_skip; // the stand-in after \uN
            return;
        }
        switch (m_state.destination) {
        case Destination::Text:
            if (c.unicode() >= 0x20 || c == QLatin1Char('\t'))
                m_run.append(c);
            break;
        case Destination::FontTable:
            if (c == QLatin1Char(';')) {
                if (m_fontNumber >= 0)
                    m_fonts.insert(m_fontNumber, m_fontName.trimmed());
                m_fontNumber = -1;
                m_fontName.clear();
            } else if (m_fontName.size() < 256) {
                m_fontName.append(c);
            }
            break;
        case Destination::ColorTable:
            if (c == QLatin1Char(';')) {
                m_colors.append(m_rgbSet ? QColor(m_rgb[0], m_rgb[1], m_rgb[2]) : QColor());
                m_rgbSet = false;
                m_rgb[0] = m_rgb[1] = m_rgb[2] = 0;
            }
            break;
        case Destination::Skip:
            break;
        }
    }

    void paragraph() {
        if (m_state.destination != Destination::Text)
            return;
        m_skip = 0;
        flush();
        m_cursor.setBlockFormat(blockFormat());
        m_cursor.insertBlock(blockFormat(), charFormat());
    }

    void flush() {
        if (m_run.isEmpty())
            return;
        m_cursor.insertText(m_run, charFormat());
        m_run.clear();
        // A paragraph takes the properties in effect at its end: at its \\par, or at its
        // last text when it has none.
        m_cursor.setBlockFormat(blockFormat());
    }

    QTextCharFormat charFormat() const {
        QTextCharFormat format;
        format.setFontWeight(m_state.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(m_state.italic);
        format.setFontUnderline(m_state.underline);
        format.setFontPointSize(m_state.halfPoints / 2.0);
        const int font = m_state.font >= 0 ? m_state.font : m_defaultFont;
        if (m_fonts.contains(font) && !m_fonts.value(font).isEmpty())
            format.setFontFamilies(QStringList{m_fonts.value(font)});
        if (m_state.color > 0 && m_state.color < m_colors.size() && m_colors.at(m_state.color).isValid())
            format.setForeground(m_colors.at(m_state.color));
        return format;
    }

    QTextBlockFormat blockFormat() const {
        QTextBlockFormat format;
        format.setAlignment(m_state.alignment);
        format.setTopMargin(m_state.spaceBefore / kTwipsPerPixel);
        format.setBottomMargin(m_state.spaceAfter / kTwipsPerPixel);
        format.setLeftMargin(m_state.leftIndent / kTwipsPerPixel);
        format.setTextIndent(m_state.firstIndent / kTwipsPerPixel);
        return format;
    }

    const QByteArray &m_in;
    qsizetype m_pos = 0;
    QTextCursor m_cursor;
    State m_state;
    QList<State> m_stack;
    int m_overflow = 0;
    int m_skip = 0;
    QString m_run;
    int m_defaultFont = 0;
    QHash<int, QString> m_fonts;
    int m_fontNumber = -1;
    QString m_fontName;
    QList<QColor> m_colors;
    int m_rgb[3] = {0, 0, 0};
    bool m_rgbSet = false;
};

} // namespace

void ReadRtf(const QByteArray &rtf, QTextDocument *document) {
    // One edit block: a view showing the document lays its text out once at the end. Told of
    // every run, it would lay out the whole paragraph again each time, and a paragraph of n
    // style toggles would cost n times its length. No undo either: it would keep every run.
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    document->clear();
    QTextCursor block(document);
    block.beginEditBlock();
    Reader(rtf, document).run();
    block.endEditBlock();
    document->setUndoRedoEnabled(undo);
}
