#pragma once
#include <QString>

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgResult { OK, Cancel, Yes, No };

// Message boxes and questions: QMessageBox in the program, scripted answers in tests.
class Prompts {
public:
    virtual ~Prompts() = default;
    virtual MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) = 0;
};
