#include "shell/qt_prompts.h"

#include "shell/frmMain.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace {
// The frame's window icon, close button and margins on either side of the title.
constexpr int kTitleFrameAllowance = 150;
}  // namespace

int MessageBoxTitleWidth(const QString& title, const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(title) + kTitleFrameAllowance;
}

std::unique_ptr<QMessageBox> MakeMessageBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                                            const QString& title, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(title);
    box->setText(text);
    switch (icon) {
    case MsgIcon::None: box->setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Critical: box->setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box->setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box->setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box->setIcon(QMessageBox::Information); break;
    }
    switch (buttons) {
    case MsgButtons::OK: box->setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OKCancel: box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box->setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    // QMessageBox fixes its own size from its layout, so the minimum goes into the layout.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        const int margins = grid->contentsMargins().left() + grid->contentsMargins().right();
        const int width = std::max(0, MessageBoxTitleWidth(title, box->font()) - margins);
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    return box;
}

MsgResult QtPrompts::MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) {
    std::unique_ptr<QMessageBox> box = MakeMessageBox(text, buttons, icon, title, MainForm());
    switch (box->exec()) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    default: return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::OK;
    }
}
