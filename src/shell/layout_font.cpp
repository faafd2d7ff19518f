#include "shell/layout_font.h"

#include "core/twips.h"

#include <QApplication>
#include <QFontMetricsF>

double LayoutScaleFor(const QFont& font) {
    const QFontMetricsF m(font);
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    return LayoutScaleForFont(m.height(), m.horizontalAdvance(letters) / letters.size());
}

void FollowApplicationFont() { SetLayoutScale(LayoutScaleFor(QApplication::font())); }
