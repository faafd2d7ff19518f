#pragma once
// A list view for very long lists of uniform rows: it scrolls by rows and asks the model only for
// the rows it paints, so its cost does not depend on the length of the list. Tab-separated
// fields of a row are drawn in columns. It repaints only rows that appear or change on screen,
// and its scroll bar only when the bar looks different, so lines added below the last row shown
// usually cost no repaint at all.
#include <QAbstractScrollArea>
#include <QHash>
#include <QPointer>
#include <QStaticText>
#include <array>

class QAbstractItemModel;

class MonitorListView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit MonitorListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model);
    QAbstractItemModel* model() const { return model_; }

    int RowHeight() const;
    int FirstVisibleRow() const;
    int VisibleRowCount() const;  // rows that fit the viewport, the last one possibly in part
    void ScrollToRow(int row);    // makes row the first one shown, as far as the list allows
    void ScrollToBottom();
    // Left of each tab-separated field and the width of the whole line, pixels.
    const std::array<int, 4>& Columns() const { return columns_; }
    int ContentWidth() const { return contentWidth_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateScrollBars();
    void UpdateRowRange();  // the vertical bar, for the rows there are
    void UpdateColumns();
    void RowsChanged(int first, int last);
    void Reset();
    const QStaticText& FieldText(QStringView field);
    QPointer<QAbstractItemModel> model_;
    std::array<int, 4> columns_{};  // left of each tab-separated field, pixels
    int contentWidth_ = 0;
    int gap_ = 0;  // least space between two fields
    // Of the font, kept: the list asks for them with every batch of new lines.
    int rowHeight_ = 0;
    int charWidth_ = 0;
    // Every field text laid out once: the lines of the monitor repeat a few hundred field texts.
    QHash<QString, QStaticText> fieldCache_;
};
