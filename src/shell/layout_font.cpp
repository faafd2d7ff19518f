#include "shell/layout_font.h"

#include "core/twips.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QRect>

double LayoutScaleFor(const QFont& font) {
    const QFontMetricsF m(font);
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    return LayoutScaleForFont(m.height(), m.horizontalAdvance(letters) / letters.size());
}

void FollowApplicationFont() { SetLayoutScale(LayoutScaleFor(QApplication::font())); }

QRect ScaledRect(int x, int y, int w, int h) {
    return {QPoint(ScaledPixels(x), ScaledPixels(y)), QPoint(ScaledPixels(x + w) - 1, ScaledPixels(y + h) - 1)};
}
