#include "shell/page_window.h"

#include "core/numbers.h"
#include "core/run_state.h"
#include "core/twips.h"
#include "shell/frmMain.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <cmath>

PageWindow::PageWindow(QWidget* parent) : QWidget(parent) {}

int AddressFromCaption(const QString& caption) {
    const qsizetype x = caption.indexOf(u'x');
    const QString rest = x < 0 ? QString() : caption.mid(x + 1);
    return static_cast<int>(std::lround(ParseNumber(QStringLiteral("&H") + rest)));
}

int PageWindow::PageAddress() const { return AddressFromCaption(windowTitle()); }

int PageWindow::DeviceIndexOrNone() const {
    const int a = PageAddress();
    if (a == Shared().DeviceAddress[0]) return 0;
    if (a == Shared().DeviceAddress[1]) return 1;
    return -1;
}

QWidget* PageWindow::Frame() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) return sub;
    return this;
}

void PageWindow::SetFormSize(int widthTwips, int heightTwips) {
    Frame()->resize(TwipsToPixels(widthTwips), TwipsToPixels(heightTwips));
}

void PageWindow::CenterForm() {
    frmMain* main = MainForm();
    if (!main) return;
    QWidget* f = Frame();
    const QSize outer = main->frameGeometry().size();
    int left = outer.width() / 2 - f->frameGeometry().width() / 2;
    int top = outer.height() / 2 - f->frameGeometry().height() / 2 - TwipsToPixels(1000);
    // Keep the title bar reachable inside the main window.
    f->move(std::max(0, left), std::max(0, top));
}

void PageWindow::Unload() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void PageWindow::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        unloaded_ = true;
        Form_Unload();
    }
    QWidget::closeEvent(event);
}
