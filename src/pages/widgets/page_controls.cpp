#include "pages/widgets/page_controls.h"

#include "shell/live_text.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
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

NoWheelComboBox* NewList(const char* name) {
    auto* box = new NoWheelComboBox;
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QCheckBox* NewCheck(const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QPushButton* NewButton(const char* name, const QString& caption) {
    auto* b = new QPushButton(caption);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

LiveText* NewLiveLabel(const char* name) {
    auto* l = new LiveText;
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QLabel* NewLabel(const QString& caption, const char* name) {
    auto* l = new QLabel(caption);
    if (name) l->setObjectName(QString::fromLatin1(name));
    return l;
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

QComboBox* ControlViews::Add(QComboBox* box, ListControl& list) {
    lists_.emplace_back(box, &list);
    QObject::connect(box, &QComboBox::activated, box, [this, l = &list](int i) {
        if (onChoose) onChoose(*l, i);
        ShowAll();
    });
    return box;
}

QCheckBox* ControlViews::Add(QCheckBox* box, CheckControl& check) {
    checks_.emplace_back(box, &check);
    QObject::connect(box, &QCheckBox::clicked, box, [this, c = &check](bool on) {
        if (onTick) onTick(*c, on ? 1 : 0);
        ShowAll();
    });
    return box;
}

void ControlViews::FillAll() {
    for (auto [box, list] : lists_) FillList(box, *list);
}

void ControlViews::ShowAll() {
    for (auto [box, list] : lists_) ShowList(box, *list);
    for (auto [box, check] : checks_) ShowCheck(box, *check);
}
