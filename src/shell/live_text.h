#pragma once
// A label that the timer refreshes several times a second: a reading's box, the status-bar clock.
// Laying out and shaping its text again at every new value costs more than all else a refresh does,
// so a plain one-line text is drawn straight from the font's glyphs (kerning kept); anything else
// (rich text, a style sheet, a glyph the font lacks, a script that needs shaping) is drawn as any
// label draws it.
#include <QLabel>
#include <QRawFont>

class LiveText : public QLabel {
public:
    explicit LiveText(QWidget* parent = nullptr);

    // Holds the label at its present size: a new text then asks no layout of the parent. For a
    // label placed by hand, not one a layout sizes.
    void HoldSize() { setFixedSize(size()); }

    // Whether the text shown now is drawn from the glyphs (false: drawn as a label draws it).
    bool DrawsGlyphs() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    struct Run;
    bool MakeRun(Run& run) const;
    void DrawBox(QPainter& p) const;

    mutable QRawFont raw_;
    mutable bool rawMade_ = false;
};
