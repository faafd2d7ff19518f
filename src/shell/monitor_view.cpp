#include "shell/monitor_view.h"

#include "core/numbers.h"
#include "core/twips.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QMetaObject>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <cmath>

namespace {
// Room left and right of a line and between two lines, in pixels of the design font.
constexpr int kMargin = 3, kRowGap = 2;

// A scroll bar that is painted again only when it looks different: over a long list a few more
// lines move the slider by less than a pixel, and the style's scroll bar is dear to paint.
class QuietScrollBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    // A range change and the scroll that follows it come apart: judge the look they leave, once
    // the event loop gets to it.
    void sliderChange(SliderChange change) override {
        if (!painted_) return QScrollBar::sliderChange(change);
        if (checkPending_) return;
        checkPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                checkPending_ = false;
                if (Current() != lastPainted_) update();
            },
            Qt::QueuedConnection);
    }
    void paintEvent(QPaintEvent* event) override {
        lastPainted_ = Current();
        painted_ = true;
        QScrollBar::paintEvent(event);
    }

private:
    struct Look {
        QRect slider;
        bool atMinimum, atMaximum, scrolls;
        bool operator==(const Look&) const = default;
    };
    Look Current() const {
        QStyleOptionSlider opt;
        initStyleOption(&opt);
        return {style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, this),
                value() == minimum(), value() == maximum(), minimum() < maximum()};
    }
    Look lastPainted_{};
    bool painted_ = false;
    bool checkPending_ = false;
};

// The widest text a field takes over its run of values.
int WidestField(const QFontMetrics& fm, const QString& prefix, int count) {
    int w = 0;
    for (int v = 0; v < count; ++v) w = std::max(w, fm.horizontalAdvance(prefix + HexString(v)));
    return w;
}
}  // namespace

MonitorListView::MonitorListView(QWidget* parent) : QAbstractScrollArea(parent) {
    setVerticalScrollBar(new QuietScrollBar(Qt::Vertical));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    UpdateColumns();
}

void MonitorListView::setModel(QAbstractItemModel* model) {
    if (model_) disconnect(model_, nullptr, this, nullptr);
    model_ = model;
    if (model_) {
        connect(model_, &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex&, int first, int) { RowsChanged(first, -1); });
        connect(model_, &QAbstractItemModel::rowsRemoved, this, &MonitorListView::Reset);
        connect(model_, &QAbstractItemModel::rowsMoved, this, &MonitorListView::Reset);
        connect(model_, &QAbstractItemModel::modelReset, this, &MonitorListView::Reset);
        connect(model_, &QAbstractItemModel::layoutChanged, this, &MonitorListView::Reset);
        connect(model_, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                    RowsChanged(topLeft.row(), bottomRight.row());
                });
    }
    Reset();
}

void MonitorListView::Reset() {
    UpdateScrollBars();
    viewport()->update();
}

// Rows first to last changed (last -1: first and every row after it, as after an insertion).
void MonitorListView::RowsChanged(int first, int last) {
    UpdateRowRange();  // new rows change the vertical bar alone
    const int top = FirstVisibleRow();
    const int from = std::max(first, top);
    // After an insertion the rows from the first new one to the end of the list are new on screen.
    const int end = last < 0 ? model_->rowCount() - 1 : last;
    const int to = std::min(end, top + VisibleRowCount() - 1);
    if (from > to) return;  // nothing on screen changed
    const int h = RowHeight();
    viewport()->update(QRect(0, (from - top) * h, viewport()->width(), (to - from + 1) * h));
}

int MonitorListView::RowHeight() const { return rowHeight_; }

int MonitorListView::FirstVisibleRow() const { return verticalScrollBar()->value(); }

int MonitorListView::VisibleRowCount() const {
    const int h = RowHeight();
    return (viewport()->height() + h - 1) / h;
}

void MonitorListView::ScrollToRow(int row) { verticalScrollBar()->setValue(row); }

void MonitorListView::ScrollToBottom() { verticalScrollBar()->setValue(verticalScrollBar()->maximum()); }

void MonitorListView::UpdateColumns() {
    // Columns wide enough for every device address to 0x7F and every register and data byte, so
    // that a whole line fits the window as it opens.
    const QFontMetrics fm = fontMetrics();
    const int widths[4] = {
        std::max(fm.horizontalAdvance(QStringLiteral("Read")), fm.horizontalAdvance(QStringLiteral("Write"))),
        WidestField(fm, QStringLiteral("Dev Addr="), 0x80),
        WidestField(fm, QStringLiteral("Addr Ptr="), 0x100),
        std::max(WidestField(fm, QStringLiteral("Data In="), 0x100), WidestField(fm, QStringLiteral("Data Out="), 0x100)),
    };
    gap_ = fm.horizontalAdvance(QStringLiteral("M"));
    rowHeight_ = fm.height() + ScaledPixels(kRowGap);
    charWidth_ = fm.averageCharWidth();
    const int margin = ScaledPixels(kMargin);
    int x = margin;
    for (size_t i = 0; i < 4; ++i) {
        columns_[i] = x;
        x += widths[i] + (i < 3 ? gap_ : margin);
    }
    contentWidth_ = x;
    fieldCache_.clear();
}

void MonitorListView::UpdateRowRange() {
    const int rows = model_ ? model_->rowCount() : 0;
    const int page = std::max(1, viewport()->height() / RowHeight());
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, rows - page));
    v->setPageStep(page);
    v->setSingleStep(1);
}

void MonitorListView::UpdateScrollBars() {
    UpdateRowRange();
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, contentWidth_ - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setSingleStep(charWidth_);
}

void MonitorListView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void MonitorListView::scrollContentsBy(int dx, int dy) {
    // Rows that stay on screen are moved, not painted again.
    if (std::abs(dy) < VisibleRowCount() && std::abs(dx) < viewport()->width())
        viewport()->scroll(dx, dy * RowHeight());
    else
        viewport()->update();
}

void MonitorListView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        UpdateColumns();
        UpdateScrollBars();
        viewport()->update();
    }
    QAbstractScrollArea::changeEvent(event);
}

const QStaticText& MonitorListView::FieldText(QStringView field) {
    const QString key = field.toString();
    auto it = fieldCache_.find(key);
    if (it == fieldCache_.end()) {
        // Only unusual values (wide addresses) make new texts; keep the cache bounded anyway.
        if (fieldCache_.size() >= 4096) fieldCache_.clear();
        QStaticText text(key);
        text.setTextFormat(Qt::PlainText);
        text.prepare(QTransform(), font());
        it = fieldCache_.insert(key, text);
    }
    return *it;
}

void MonitorListView::paintEvent(QPaintEvent* event) {
    if (!model_) return;
    const int h = RowHeight();
    const int first = FirstVisibleRow();
    const int shown = std::min(model_->rowCount(), first + VisibleRowCount());
    const QRect area = event->rect();
    const int from = first + std::max(0, area.top() / h);
    const int to = std::min(shown, first + area.bottom() / h + 1);
    if (from >= to) return;
    QPainter p(viewport());
    p.setPen(palette().color(QPalette::Text));
    const int left = -horizontalScrollBar()->value();
    for (int row = from; row < to; ++row) {
        // Each field from its laid-out text, at its column or, when the one before it ran long,
        // just after that one.
        const QString text = model_->data(model_->index(row, 0)).toString();
        const int y = (row - first) * h + ScaledPixels(kRowGap) / 2;
        int x = left + columns_[0];
        qsizetype start = 0;
        for (size_t col = 0; start <= text.size(); ++col) {
            qsizetype tab = text.indexOf(u'\t', start);
            if (tab < 0) tab = text.size();
            const QStaticText& field = FieldText(QStringView(text).mid(start, tab - start));
            if (col < columns_.size()) x = std::max(x, left + columns_[col]);
            p.drawStaticText(x, y, field);
            x += static_cast<int>(std::ceil(field.size().width())) + gap_;
            start = tab + 1;
        }
    }
}
