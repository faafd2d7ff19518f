#pragma once
// Message boxes answered from a script, with a record of every box shown.
#include "link/prompts.h"

#include <deque>
#include <vector>

struct ShownBox {
    QString text;
    QString title;
    MsgIcon icon;
    MsgButtons buttons;
};

class ScriptedPrompts : public Prompts {
public:
    std::deque<MsgResult> Answers;  // used in order; when empty, OK or No
    std::vector<ShownBox> Shown;
    MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override {
        Shown.push_back({text, title, icon, buttons});
        if (!Answers.empty()) {
            const MsgResult r = Answers.front();
            Answers.pop_front();
            return r;
        }
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgResult::No : MsgResult::OK;
    }
};
