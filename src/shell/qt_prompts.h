#pragma once
#include "link/prompts.h"

#include <memory>

class QFont;
class QMessageBox;
class QWidget;

// Message boxes of the platform.
class QtPrompts : public Prompts {
public:
    MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
};

// The box as QtPrompts shows it. The platform sizes a box for its text and buttons only, so the
// box is given a minimum width that keeps its whole title readable.
std::unique_ptr<QMessageBox> MakeMessageBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                                            const QString& title, QWidget* parent);
// The width a box needs for its title: the title in a bold face of font, plus the room the
// window frame takes for its icon and buttons.
int MessageBoxTitleWidth(const QString& title, const QFont& font);
