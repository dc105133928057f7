#pragma once
// A status bar panel: a label whose plain, one-line text is drawn straight from the font's glyphs.
// The caret's panel gets a new text at every caret move, and a label lays that text out (shapes
// it with HarfBuzz) at each paint: about a seventh of what a caret move cost. Texts the fast way
// cannot show as the label would (another format or alignment, letters the font lacks or kerns,
// letters that shaping would join or reorder) are painted by the label itself.

#include <QLabel>

class StatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget *parent = nullptr);

    // Whether the last paint drew the glyphs itself rather than through the label.
    bool drawnFromGlyphs() const { return m_fromGlyphs; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool paintGlyphs();

    bool m_fromGlyphs = false;
};
