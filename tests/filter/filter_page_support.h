#pragma once
// What the filter page's widget tests share: the application font at a chosen size with the
// layout scale following it, the page opened at that font, and mouse events on the Bode plot
// given in its twips.
#include "fixture.h"
#include "font_size.h"

#include "core/twips.h"
#include "filter/bode_canvas.h"
#include "filter/filter_registry.h"
#include "filter/frmDigFilter.h"
#include "shell/frmMain.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <optional>

// A left-button event (or a plain move) at a place in the picture's twips.
inline void MouseAtTwips(QWidget* picture, QEvent::Type type, QPointF twips) {
    const QPointF px = twips / TwipsPerPixel();
    const Qt::MouseButton b = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick
                                      ? Qt::MouseButtons(Qt::LeftButton)
                                      : Qt::MouseButtons(Qt::NoButton);
    QMouseEvent e(type, px, picture->mapToGlobal(px), b, held, Qt::NoModifier);
    QApplication::sendEvent(picture, &e);
}

// The first device's filter page in a shown main window, at the font size of the test's parameter.
// A test puts its chip in place, then calls OpenPage.
class FilterPageAtFont : public RunFixture, public ::testing::WithParamInterface<double> {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        font_.emplace(GetParam());
    }
    void OpenPage() {
        RegisterFilterPages();
        main = new frmMain;
        SetMainForm(main);
        main->resize(ScaledPixels(1400), ScaledPixels(900));
        main->show();
        page = static_cast<frmDigFilter*>(main->OpenDevicePage(PageKind::DigFilter, 0));
        ASSERT_TRUE(page);
        canvas = page->pctFilter;
    }
    void TearDown() override {
        delete main.data();
        SetMainForm(nullptr);
        RegisterPageFactory(PageKind::DigFilter, {});
        font_.reset();
        RunFixture::TearDown();
    }
    template <class T>
    T* Child(const char* name) {
        return page->findChild<T*>(QString::fromLatin1(name));
    }

    std::optional<FontSize> font_;
    QPointer<frmMain> main;
    frmDigFilter* page = nullptr;
    BodeCanvas* canvas = nullptr;
};

// Names the font cases by their size: .../9pt.
inline std::string PointsName(const ::testing::TestParamInfo<double>& i) {
    return std::to_string(static_cast<int>(i.param)) + "pt";
}
