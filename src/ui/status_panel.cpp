#include "ui/status_panel.h"

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QStyleOption>

namespace {

// Letters that need no shaping: each maps to one glyph, in order, whatever surrounds it.
bool NeedsNoShaping(const QString &text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u > 0x7e)
            return false;
    }
    return true;
}

} // namespace

StatusPanel::StatusPanel(QWidget *parent) : QLabel(parent) {}

void StatusPanel::paintEvent(QPaintEvent *event) {
    m_fromGlyphs = paintGlyphs();
    if (!m_fromGlyphs)
        QLabel::paintEvent(event);
}

bool StatusPanel::paintGlyphs() {
    const QString shown = text();
    if (textFormat() != Qt::PlainText || wordWrap() || indent() >= 0 || shown.isEmpty() ||
        alignment() != (Qt::AlignLeft | Qt::AlignVCenter) || layoutDirection() != Qt::LeftToRight ||
        !isEnabled() || !NeedsNoShaping(shown))
        return false;
    const QRawFont raw = QRawFont::fromFont(font());
    if (!raw.isValid())
        return false;
    const QList<quint32> glyphs = raw.glyphIndexesForString(shown);
    if (glyphs.size() != shown.size() || glyphs.contains(0u))
        return false;
    // Kerning is where the font's two tables (HarfBuzz reads the other) may differ by a pixel.
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances);
    if (advances != raw.advancesForGlyphIndexes(glyphs))
        return false;

    QPainter painter(this);
    drawFrame(&painter);
    QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    // The label's own indent: none set and a frame drawn make it half an 'x'.
    const int indent = frameWidth() > 0 ? fontMetrics().horizontalAdvance(u'x') / 2 - margin() : 0;
    if (indent > 0)
        area.setLeft(area.left() + indent);
    // Where the label's layout puts the line: centred by its height, the baseline an ascent below.
    const QFontMetricsF metrics(font());
    const qreal lineHeight = metrics.ascent() + metrics.descent();
    QPointF pen(area.left(), area.top() + (area.height() - lineHeight) / 2 + metrics.ascent());
    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    for (const QPointF &advance : advances) {
        positions << pen;
        pen += advance;
    }
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.setClipRect(area);
    painter.setPen(QPen(palette().brush(foregroundRole()), 1));
    painter.drawGlyphRun(QPointF(0, 0), run);
    return true;
}
