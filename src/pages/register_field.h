#pragma once
// Register bit fields shown by page controls, with no widgets: the controls' state, the writes a
// change makes at once, and the compositions an Apply writes.
#include "core/numbers.h"

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <vector>

// One bit field of a chip register; its code is the field's value shifted down to bit 0.
struct RegisterField {
    int reg = 0;
    int mask = 0xFF;
    int Shift() const;
    int Decode(int value) const { return (value & mask) >> Shift(); }
    int Encode(int code) const { return (code << Shift()) & mask; }
};

// A list-only drop-down: its items and the selected position, which is its code. The code comes
// from the position, never from the text, so a list whose items repeat a text keeps every code.
class ListControl {
public:
    QStringList items;
    void SetItems(QStringList list);
    // False, and nothing changes, for a position outside the list.
    bool Select(int index);
    bool SelectText(const QString& text);  // the first item equal to the text
    void SelectNone() { index_ = -1; }     // no item chosen, as a list shows before any choice
    int Code() const { return index_; }
    QString Text() const { return index_ < 0 ? QString() : items[index_]; }

private:
    int index_ = -1;
};

// A check box: 0 clear, 1 ticked.
class CheckControl {
public:
    // True when the value changed: only then does setting it from code run its handler.
    bool Set(int value);
    int Code() const { return value_; }

private:
    int value_ = 0;
};

// When a field reaches the chip: at once on a change (also during set-up, as selecting from code
// runs the handler), or on Apply composed from zero, or on Apply over a fresh read of the register
// keeping the bits no field of the page covers.
enum class WriteRule { AtOnce, ApplyFromZero, ApplyKeepOthers };

// Writes one field now: a field that fills its register is written directly; one that shares its
// register is read, cleared, set to the code and written back.
void WriteFieldNow(int dev, const RegisterField& field, int code);

// A page's fields bound to its controls, in the order the page's set-up shows them.
class FieldPage {
public:
    void Bind(ListControl& list, RegisterField field, WriteRule rule);
    void Bind(CheckControl& check, RegisterField field, WriteRule rule);

    // Reads each register once where its first field comes and shows every field; fields that
    // write at once run their handler as the selection from code does (a check box only when
    // its value changes), writing back what was just read.
    void SetUp(int dev);
    // The user's choice; a field that writes at once reaches the chip before this returns.
    void Choose(int dev, ListControl& list, int index);
    void Choose(int dev, CheckControl& check, int value);
    // Writes every register with Apply fields, in order of first appearance.
    void Apply(int dev);

private:
    struct Binding {
        RegisterField field;
        ListControl* list = nullptr;
        CheckControl* check = nullptr;
        WriteRule rule = WriteRule::AtOnce;
        int Code() const { return list ? list->Code() : check->Code(); }
    };
    const Binding* Find(const void* control) const;
    std::vector<Binding> bindings_;
};

// 0 for the first device's address, 1 for the second's, -1 for neither.
int DeviceIndexOf(int address);
