#include "pages/widgets/page_controls.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QWheelEvent>

NoWheelComboBox::NoWheelComboBox(QWidget* parent) : QComboBox(parent) {
    setFocusPolicy(Qt::StrongFocus);  // a wheel turn must not give it focus either
    setEditable(false);
}

void NoWheelComboBox::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

void FillList(QComboBox* box, const ListControl& list) {
    const QSignalBlocker block(box);
    box->clear();
    box->addItems(list.items);
    box->setCurrentIndex(list.Code());
}

void ShowList(QComboBox* box, const ListControl& list) {
    const QSignalBlocker block(box);
    box->setCurrentIndex(list.Code());
}

void ShowCheck(QCheckBox* box, const CheckControl& check) {
    const QSignalBlocker block(box);
    box->setChecked(check.Code() != 0);
}
