#pragma once
// The controls of the configuration pages and how they show the page logic's state.
#include "pages/register_field.h"

#include <QComboBox>

class QAbstractButton;
class QCheckBox;
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

// Fills the drop-down with the list's items (no signals).
void FillList(QComboBox* box, const ListControl& list);
// Shows the list's selected position and the box's value (no signals).
void ShowList(QComboBox* box, const ListControl& list);
void ShowCheck(QCheckBox* box, const CheckControl& check);
