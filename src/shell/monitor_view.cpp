#include "shell/monitor_view.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
constexpr int kMargin = 3;
}

MonitorListView::MonitorListView(QWidget* parent) : QAbstractScrollArea(parent) {
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
        auto refresh = [this] {
            UpdateScrollBars();
            viewport()->update();
        };
        connect(model_, &QAbstractItemModel::rowsInserted, this, refresh);
        connect(model_, &QAbstractItemModel::rowsRemoved, this, refresh);
        connect(model_, &QAbstractItemModel::modelReset, this, refresh);
        connect(model_, &QAbstractItemModel::dataChanged, this, [this] { viewport()->update(); });
    }
    UpdateScrollBars();
    viewport()->update();
}

int MonitorListView::RowHeight() const { return fontMetrics().height() + 2; }

int MonitorListView::FirstVisibleRow() const { return verticalScrollBar()->value(); }

int MonitorListView::VisibleRowCount() const {
    const int h = RowHeight();
    return (viewport()->height() + h - 1) / h;
}

void MonitorListView::ScrollToRow(int row) { verticalScrollBar()->setValue(row); }

void MonitorListView::ScrollToBottom() { verticalScrollBar()->setValue(verticalScrollBar()->maximum()); }

void MonitorListView::UpdateColumns() {
    // Columns wide enough for the widest text of each field.
    const QFontMetrics fm = fontMetrics();
    const char* widest[4] = {"Write", "Dev Addr=0x7FFF", "Addr Ptr=0xFF", "Data Out=0xFF"};
    const int gap = fm.horizontalAdvance(QStringLiteral("MM"));
    int x = kMargin;
    for (size_t i = 0; i < 4; ++i) {
        columns_[i] = x;
        x += fm.horizontalAdvance(QString::fromLatin1(widest[i])) + gap;
    }
    contentWidth_ = x;
}

void MonitorListView::UpdateScrollBars() {
    const int rows = model_ ? model_->rowCount() : 0;
    const int page = std::max(1, viewport()->height() / RowHeight());
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, rows - page));
    v->setPageStep(page);
    v->setSingleStep(1);
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, contentWidth_ - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setSingleStep(fontMetrics().averageCharWidth());
}

void MonitorListView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void MonitorListView::scrollContentsBy(int, int) { viewport()->update(); }

void MonitorListView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        UpdateColumns();
        UpdateScrollBars();
    }
    QAbstractScrollArea::changeEvent(event);
}

void MonitorListView::paintEvent(QPaintEvent*) {
    if (!model_) return;
    QPainter p(viewport());
    p.setPen(palette().color(QPalette::Text));
    const int h = RowHeight();
    const int rows = model_->rowCount();
    const int first = FirstVisibleRow();
    const int last = std::min(rows, first + VisibleRowCount());
    const int dx = -horizontalScrollBar()->value();
    const int width = viewport()->width();
    for (int row = first; row < last; ++row) {
        const QString text = model_->data(model_->index(row, 0)).toString();
        const int y = (row - first) * h;
        qsizetype start = 0;
        for (size_t col = 0; start <= text.size(); ++col) {
            qsizetype tab = text.indexOf(u'\t', start);
            if (tab < 0) tab = text.size();
            const int x = dx + (col < columns_.size() ? columns_[col] : contentWidth_);
            p.drawText(QRect(x, y, width + contentWidth_, h), Qt::AlignLeft | Qt::AlignVCenter,
                       text.mid(start, tab - start));
            start = tab + 1;
        }
    }
}
