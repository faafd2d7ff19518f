// A live value drawn straight from the font's glyphs looks like the label it stands for: its ink
// in the same place and colour, its box the same pixels. What it cannot draw that way, it draws
// exactly as a label does.
#include "font_size.h"

#include "shell/block_diagram_picture.h"
#include "shell/live_text.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

QImage Render(QLabel& label) {
    QImage image(label.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::gray);
    label.render(&image);
    return image;
}

// The smallest rectangle holding every pixel inside the frame that is not the background.
QRect Ink(const QImage& image, QRgb background) {
    QRect ink;
    for (int y = 1; y < image.height() - 1; ++y)
        for (int x = 1; x < image.width() - 1; ++x)
            if (image.pixel(x, y) != background) ink |= QRect(x, y, 1, 1);
    return ink;
}

// The darkest pixel of the ink: where a glyph covers a pixel whole, about the text's own colour.
QRgb Darkest(const QImage& image, const QRect& ink) {
    QRgb darkest = qRgb(255, 255, 255);
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            if (qGray(image.pixel(x, y)) < qGray(darkest)) darkest = image.pixel(x, y);
    return darkest;
}

bool SameBorder(const QImage& a, const QImage& b) {
    for (int x = 0; x < a.width(); ++x)
        if (a.pixel(x, 0) != b.pixel(x, 0) || a.pixel(x, a.height() - 1) != b.pixel(x, a.height() - 1)) return false;
    for (int y = 0; y < a.height(); ++y)
        if (a.pixel(0, y) != b.pixel(0, y) || a.pixel(a.width() - 1, y) != b.pixel(a.width() - 1, y)) return false;
    return true;
}

struct Pair {
    LiveText live;
    QLabel label;
    explicit Pair(const QString& text, Qt::Alignment align = Qt::AlignCenter, bool boxed = true) {
        for (QLabel* l : {static_cast<QLabel*>(&live), &label}) {
            if (boxed) StyleLiveValue(l);
            l->setAlignment(align);
            l->resize(111, 21);
            l->setText(text);
        }
    }
};

TEST(LiveText, DrawsAReadingWhereAndAsALabelDrawsIt) {
    const QString texts[] = {QStringLiteral(" 14.2V"), QStringLiteral("-0.25A"), QStringLiteral(" 185V"),
                             QStringLiteral(" 1.03A"), QStringLiteral("0x5"),    QStringLiteral("Power Supply"),
                             QStringLiteral(" 25°C"),  QStringLiteral("4.7 kΩ"), QStringLiteral("Wy.AVA")};
    const Qt::Alignment aligns[] = {Qt::AlignCenter, Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignRight | Qt::AlignVCenter};
    for (double points : {9.0, 14.0}) {
        FontSize size(points);
        for (const QString& text : texts)
            for (Qt::Alignment align : aligns) {
                Pair pair(text, align);
                SCOPED_TRACE(testing::Message() << points << " pt, \"" << text.toStdString() << "\", alignment "
                                                << int(align));
                ASSERT_TRUE(pair.live.DrawsGlyphs());
                const QImage live = Render(pair.live), label = Render(pair.label);
                const QRect a = Ink(live, qRgb(255, 255, 255)), b = Ink(label, qRgb(255, 255, 255));
                ASSERT_FALSE(b.isEmpty());
                EXPECT_LE(std::abs(a.left() - b.left()), 1) << a.left() << " " << b.left();
                EXPECT_LE(std::abs(a.right() - b.right()), 1) << a.right() << " " << b.right();
                EXPECT_LE(std::abs(a.top() - b.top()), 1) << a.top() << " " << b.top();
                EXPECT_LE(std::abs(a.bottom() - b.bottom()), 1) << a.bottom() << " " << b.bottom();
                const QRgb x = Darkest(live, a), y = Darkest(label, b);
                EXPECT_LE(std::abs(qRed(x) - qRed(y)) + std::abs(qGreen(x) - qGreen(y)) + std::abs(qBlue(x) - qBlue(y)), 6)
                    << std::hex << x << " " << y;
                EXPECT_TRUE(SameBorder(live, label)) << "the box in the text's colour";
            }
    }
}

// Rich text, a style sheet, a disabled label, the scripts that need shaping, combining marks and
// a character the font lacks: drawn by the label itself, so not a pixel differs.
TEST(LiveText, LeavesWhatNeedsMoreToTheLabel) {
    struct Case {
        const char* what;
        QString text;
        void (*prepare)(QLabel&);
    } cases[] = {
        {"rich text", QStringLiteral("<b>12</b>V"), nullptr},
        {"Arabic", QStringLiteral("\u0661\u0662V"), nullptr},
        {"Devanagari", QStringLiteral("\u0915\u094D\u0937"), nullptr},
        {"a combining mark", QStringLiteral("e\u0301V"), nullptr},
        {"a private-use character", QStringLiteral("\uE123"), nullptr},
        {"a style sheet", QStringLiteral(" 12V"), [](QLabel& l) { l.setStyleSheet(QStringLiteral("color: blue;")); }},
        {"disabled", QStringLiteral(" 12V"), [](QLabel& l) { l.setEnabled(false); }},
        {"selectable", QStringLiteral(" 12V"),
         [](QLabel& l) { l.setTextInteractionFlags(Qt::TextSelectableByMouse); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Pair pair(c.text);
        if (c.prepare) {
            c.prepare(pair.live);
            c.prepare(pair.label);
        }
        EXPECT_FALSE(pair.live.DrawsGlyphs());
        EXPECT_EQ(Render(pair.live), Render(pair.label));
    }
}

TEST(LiveText, FollowsANewFontAndAnEmptyText) {
    Pair pair(QStringLiteral(" 12.05V"));
    const QRect before = Ink(Render(pair.live), qRgb(255, 255, 255));
    QFont big = pair.live.font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    pair.live.setFont(big);
    pair.label.setFont(big);
    const QRect after = Ink(Render(pair.live), qRgb(255, 255, 255));
    EXPECT_GT(after.width(), before.width() * 1.4);
    EXPECT_LE(std::abs(after.width() - Ink(Render(pair.label), qRgb(255, 255, 255)).width()), 2);

    pair.live.clear();
    pair.label.clear();
    EXPECT_EQ(Render(pair.live), Render(pair.label));
}

}  // namespace
