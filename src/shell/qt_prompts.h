#pragma once
#include "link/prompts.h"

// Message boxes of the platform.
class QtPrompts : public Prompts {
public:
    MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
};
