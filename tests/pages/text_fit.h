#pragma once
// Finds the texts a window cuts: labels, check boxes, buttons and closed lists whose text is
// wider than the control shows, or controls that stick out of their parent.
#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionComboBox>

inline QString ControlName(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

// The width a closed list gives the text of its shown item.
inline int ComboTextWidth(const QComboBox* box) {
    QStyleOptionComboBox opt;
    opt.initFrom(box);
    opt.editable = box->isEditable();
    opt.frame = box->hasFrame();
    opt.subControls = QStyle::SC_All;
    return box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box).width();
}

inline QStringList CutTexts(const QWidget* root) {
    QStringList cut;
    auto outside = [&](const QWidget* w) {
        const QWidget* p = w->parentWidget();
        if (p && p != root->parentWidget() && !p->rect().contains(w->geometry()))
            cut << ControlName(w) + QStringLiteral(" sticks out of ") + ControlName(p);
    };
    for (const QLabel* l : root->findChildren<QLabel*>()) {
        if (l->text().isEmpty() || !l->pixmap().isNull() || !l->isVisibleTo(root)) continue;
        outside(l);
        const QRect area = l->contentsRect();
        if (l->wordWrap()) {
            if (l->heightForWidth(l->width()) > l->height()) cut << ControlName(l) + QStringLiteral(": ") + l->text();
        } else {
            const QFontMetrics fm(l->font());
            for (const QString& line : l->text().split(u'\n'))
                if (fm.horizontalAdvance(line) > area.width()) cut << ControlName(l) + QStringLiteral(": ") + line;
            if (fm.height() * l->text().count(u'\n') + fm.ascent() > area.height())
                cut << ControlName(l) + QStringLiteral(" too low: ") + l->text();
        }
    }
    for (const QAbstractButton* b : root->findChildren<QAbstractButton*>()) {
        if (b->text().isEmpty() || !b->isVisibleTo(root)) continue;
        outside(b);
        // A push button's size hint has a minimum width of its own; its text needs a small margin.
        const int needed = qobject_cast<const QPushButton*>(b) ? b->fontMetrics().horizontalAdvance(b->text()) + 8
                                                                : b->sizeHint().width();
        if (needed > b->width()) cut << ControlName(b) + QStringLiteral(": ") + b->text();
    }
    for (const QComboBox* c : root->findChildren<QComboBox*>()) {
        if (!c->isVisibleTo(root)) continue;
        outside(c);
        const QFontMetrics fm(c->font());
        const int room = ComboTextWidth(c);
        for (int i = 0; i < c->count(); ++i)
            if (fm.horizontalAdvance(c->itemText(i)) > room) {
                cut << ControlName(c) + QStringLiteral(": ") + c->itemText(i);
                break;
            }
    }
    // Controls beside each other must not cover each other.
    const QList<QWidget*> all = root->findChildren<QWidget*>();
    for (const QWidget* p : all + QList<QWidget*>{const_cast<QWidget*>(root)}) {
        QList<const QWidget*> kids;
        for (const QObject* o : p->children()) {
            const auto* w = qobject_cast<const QWidget*>(o);
            if (w && w->isVisibleTo(root) && !w->isWindow() &&
                (qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
                 qobject_cast<const QComboBox*>(w) || qobject_cast<const QGroupBox*>(w)))
                kids << w;
        }
        // Captions may touch each other (a bit and its number do); nothing may cover a control.
        auto caption = [](const QWidget* w) { return qobject_cast<const QLabel*>(w) != nullptr; };
        for (int i = 0; i < kids.size(); ++i)
            for (int j = i + 1; j < kids.size(); ++j)
                if (!(caption(kids[i]) && caption(kids[j])) && kids[i]->geometry().intersects(kids[j]->geometry()))
                    cut << ControlName(kids[i]) + QStringLiteral(" covers ") + ControlName(kids[j]);
    }
    return cut;
}
