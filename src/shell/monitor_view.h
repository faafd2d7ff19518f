#pragma once
// A list view for very long lists of uniform rows: it scrolls by rows and asks the model only for
// the rows it paints, so its cost does not depend on the length of the list. Tab-separated
// fields of a row are drawn in columns.
#include <QAbstractScrollArea>
#include <QPointer>
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

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateScrollBars();
    void UpdateColumns();
    QPointer<QAbstractItemModel> model_;
    std::array<int, 4> columns_{};  // left of each tab-separated field, pixels
    int contentWidth_ = 0;
};
