#include "shell/live_text.h"

#include <QEvent>
#include <QGlyphRun>
#include <QPainter>
#include <QStyle>
#include <QTextDocument>

struct LiveText::Run {
    QList<quint32> glyphs;
    QList<QPointF> positions;
    qreal width = 0;
};

namespace {

// Characters drawn one glyph each, left to right, with no shaping: Latin, Greek (Ω, µ) and the
// signs a reading carries; combining marks and the scripts that need shaping are left to the label.
bool DrawnOneByOne(QChar c) {
    const char16_t u = c.unicode();
    return u >= 0x20 && (u < 0x7F || (u >= 0xA0 && u < 0x300) || (u >= 0x370 && u < 0x400));
}

}  // namespace

LiveText::LiveText(QWidget* parent) : QLabel(parent) {}

bool LiveText::MakeRun(Run& run) const {
    const QString t = text();
    if (!isEnabled() || wordWrap() || buddy() || testAttribute(Qt::WA_StyleSheet) || !pixmap().isNull()) return false;
    if (textFormat() == Qt::RichText || (textFormat() == Qt::AutoText && Qt::mightBeRichText(t))) return false;
    if (textInteractionFlags() & (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard | Qt::TextEditable))
        return false;
    for (QChar c : t)
        if (!DrawnOneByOne(c)) return false;
    if (t.isEmpty()) return true;
    if (!rawMade_) {
        raw_ = QRawFont::fromFont(font());
        rawMade_ = true;
    }
    if (!raw_.isValid()) return false;
    run.glyphs = raw_.glyphIndexesForString(t);
    if (run.glyphs.size() != t.size() || run.glyphs.contains(0u)) return false;  // a glyph the font lacks
    const QList<QPointF> advances = raw_.advancesForGlyphIndexes(run.glyphs, QRawFont::KernedAdvances);
    run.positions.reserve(advances.size());
    for (const QPointF& a : advances) {
        run.positions << QPointF(run.width, 0);
        run.width += a.x();
    }
    return true;
}

bool LiveText::DrawsGlyphs() const {
    Run run;
    return !text().isEmpty() && MakeRun(run);
}

void LiveText::DrawBox(QPainter& p) const {
    if (frameShape() == QFrame::NoFrame) return;
    if (frameShape() != QFrame::Box || frameShadow() != QFrame::Plain || lineWidth() != 1) {
        const_cast<LiveText*>(this)->drawFrame(&p);
        return;
    }
    // The one-pixel box a plain frame draws, in the text's colour, as four strips.
    const QPalette::ColorGroup group = isActiveWindow() ? QPalette::Active : QPalette::Inactive;
    const QColor c = palette().color(group, QPalette::WindowText);
    const QRect r = frameRect();
    p.fillRect(r.left(), r.top(), r.width(), 1, c);
    p.fillRect(r.left(), r.bottom(), r.width(), 1, c);
    p.fillRect(r.left(), r.top() + 1, 1, r.height() - 2, c);
    p.fillRect(r.right(), r.top() + 1, 1, r.height() - 2, c);
}

void LiveText::paintEvent(QPaintEvent* e) {
    Run run;
    if (!MakeRun(run)) {
        QLabel::paintEvent(e);
        return;
    }
    QPainter p(this);
    DrawBox(p);
    if (run.glyphs.isEmpty()) return;

    // The text's place as a label finds it: inside the margin and, beside a frame, the indent.
    QRect cr = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const Qt::Alignment align = QStyle::visualAlignment(Qt::LeftToRight, alignment());
    int indentBy = indent();
    if (indentBy < 0 && frameWidth()) indentBy = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin();
    if (indentBy > 0) {
        if (align & Qt::AlignLeft) cr.setLeft(cr.left() + indentBy);
        if (align & Qt::AlignRight) cr.setRight(cr.right() - indentBy);
        if (align & Qt::AlignTop) cr.setTop(cr.top() + indentBy);
        if (align & Qt::AlignBottom) cr.setBottom(cr.bottom() - indentBy);
    }
    qreal x = cr.left();
    if (align & Qt::AlignRight)
        x = cr.right() + 1 - run.width;
    else if (align & Qt::AlignHCenter)
        x = cr.left() + (cr.width() - run.width) / 2;
    const qreal height = raw_.ascent() + raw_.descent();
    qreal top = cr.top();
    if (align & Qt::AlignBottom)
        top = cr.bottom() + 1 - height;
    else if (align & Qt::AlignVCenter)
        top = cr.top() + (cr.height() - height) / 2;

    QGlyphRun glyphs;
    glyphs.setRawFont(raw_);
    glyphs.setGlyphIndexes(run.glyphs);
    glyphs.setPositions(run.positions);
    const QPalette::ColorGroup group = isActiveWindow() ? QPalette::Active : QPalette::Inactive;
    p.setPen(palette().color(group, foregroundRole()));
    // Whole pixels: the glyphs come out as sharp as a label's and from one cached image each.
    p.drawGlyphRun(QPointF(qRound(x), qRound(top + raw_.ascent())), glyphs);
}

void LiveText::changeEvent(QEvent* e) {
    if (e->type() == QEvent::FontChange) rawMade_ = false;
    QLabel::changeEvent(e);
}
