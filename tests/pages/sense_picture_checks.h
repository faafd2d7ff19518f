#pragma once
// Checks shared by the two sensing pages' drawings.
#include "pages/sense_pictures.h"
#include "shell/page_window.h"

#include "core/twips.h"

#include <QImage>
#include <QLabel>
#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>

inline bool Inside(const TwipsRect& outer, const TwipsRect& r) {
    return r.Left >= outer.Left && r.Top >= outer.Top && r.Left + r.Width <= outer.Left + outer.Width &&
           r.Top + r.Height <= outer.Top + outer.Height;
}

// Every part, caption, control and wire lies on the picture.
inline void ExpectSceneOnItsPicture(const SenseScene& s) {
    const TwipsRect all{0, 0, s.Width, s.Height};
    EXPECT_TRUE(Inside(all, s.Chip));
    for (const SensePart& p : s.Parts) EXPECT_TRUE(Inside(all, p.Rect)) << p.Rect.Left << "," << p.Rect.Top;
    for (const SenseCaption& c : s.Captions) EXPECT_TRUE(Inside(all, c.Rect)) << c.Text;
    for (const SenseControl& c : s.Controls) EXPECT_TRUE(Inside(s.Chip, c.Rect)) << c.Name;
    for (const SenseWire& w : s.Wires) {
        EXPECT_TRUE(all.Contains(w.Line.X1, w.Line.Y1) && all.Contains(w.Line.X2, w.Line.Y2));
        EXPECT_TRUE(w.Line.X1 == w.Line.X2 || w.Line.Y1 == w.Line.Y2) << "wires run straight";
    }
}

// The page's controls stand on Picture1 at the scene's places, and the captions are drawn on it.
inline void ExpectPageOnItsPicture(PageWindow* page, const SenseScene& s, const QStringList& captions) {
    QWidget* picture = page->findChild<QWidget*>(QStringLiteral("Picture1"));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), QSize(TwipsToPixels(s.Width), TwipsToPixels(s.Height)));
    for (const SenseControl& c : s.Controls) {
        QWidget* w = page->findChild<QWidget*>(QString::fromLatin1(c.Name));
        ASSERT_TRUE(w) << c.Name;
        EXPECT_EQ(w->parentWidget(), picture) << c.Name;
        EXPECT_EQ(w->geometry(), QRect(TwipsToPixels(c.Rect.Left), TwipsToPixels(c.Rect.Top),
                                       TwipsToPixels(c.Rect.Width), TwipsToPixels(c.Rect.Height)))
            << c.Name;
    }
    QStringList shown;
    for (QLabel* l : picture->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (captions.contains(l->text())) shown << l->text();
    shown.sort();
    QStringList wanted = captions;
    wanted.sort();
    EXPECT_EQ(shown, wanted);
    // The drawing itself: the block pen along the top edge of the first box, on white.
    const QImage img = picture->grab().toImage();
    EXPECT_EQ(img.pixelColor(2, 2), QColor(Qt::white));
    for (const SensePart& p : s.Parts) {
        if (p.Shape != SenseShape::Box) continue;
        const QColor edge = img.pixelColor(TwipsToPixels(p.Rect.Left + p.Rect.Width / 2), TwipsToPixels(p.Rect.Top));
        EXPECT_LT(edge.red(), 100);
        EXPECT_GT(edge.blue(), 100);
        break;
    }
}
