#pragma once
// The application font at a chosen size, with the layout scale that follows it, for one scope:
// both are put back when it ends, however the test ends.
#include "shell/layout_font.h"

#include <QApplication>
#include <QFont>

class FontSize {
public:
    explicit FontSize(double points) : saved_(QApplication::font()) {
        QFont f = saved_;
        f.setPointSizeF(points);
        QApplication::setFont(f);
        FollowApplicationFont();
    }
    ~FontSize() {
        QApplication::setFont(saved_);
        FollowApplicationFont();
    }
    FontSize(const FontSize&) = delete;
    FontSize& operator=(const FontSize&) = delete;

private:
    QFont saved_;
};
