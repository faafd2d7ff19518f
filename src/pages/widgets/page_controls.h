#pragma once
// The controls of the configuration pages and how they show the page logic's state.
#include "pages/register_field.h"

#include <QComboBox>
#include <functional>
#include <utility>
#include <vector>

class QCheckBox;
class QLabel;
class LiveText;
class QPushButton;
class QWheelEvent;

// A list-only drop-down that lets the mouse wheel pass over it unless the user gave it focus,
// so scrolling across a page never picks an item (and never writes to the chip).
class NoWheelComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit NoWheelComboBox(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};

// Named controls, as the pages lay them out.
NoWheelComboBox* NewList(const char* name);
QCheckBox* NewCheck(const char* name, const QString& caption);
QPushButton* NewButton(const char* name, const QString& caption);
// A label the timer refreshes (a reading, a flag): drawn cheaply at every new text.
LiveText* NewLiveLabel(const char* name);
QLabel* NewLabel(const QString& caption, const char* name = nullptr);

// Fills the drop-down with the list's items (no signals).
void FillList(QComboBox* box, const ListControl& list);
// Shows the list's selected position and the box's value (no signals).
void ShowList(QComboBox* box, const ListControl& list);
void ShowCheck(QCheckBox* box, const CheckControl& check);

// The widgets of one page beside the logic controls they show. The user's choices go to the
// handlers given here (with the position chosen or the new box value); after each, every widget
// shows the logic's state again.
class ControlViews {
public:
    std::function<void(ListControl&, int)> onChoose;
    std::function<void(CheckControl&, int)> onTick;

    QComboBox* Add(QComboBox* box, ListControl& list);
    QCheckBox* Add(QCheckBox* box, CheckControl& check);
    void FillAll();  // the items, as the window's load puts them in
    void ShowAll();

private:
    std::vector<std::pair<QComboBox*, ListControl*>> lists_;
    std::vector<std::pair<QCheckBox*, CheckControl*>> checks_;
};
