#include "pages/register_field.h"

#include "core/numbers.h"
#include "core/run_state.h"
#include "link/register_access.h"

#include <algorithm>

int RegisterField::Shift() const {
    int s = 0;
    while (s < 8 && !(mask & (1 << s))) ++s;
    return s;
}

void ListControl::SetItems(QStringList list) {
    items = std::move(list);
    index_ = items.isEmpty() ? -1 : 0;
}

bool ListControl::Select(int index) {
    if (index < 0 || index >= items.size()) return false;
    index_ = index;
    return true;
}

bool ListControl::SelectText(const QString& text) { return Select(static_cast<int>(items.indexOf(text))); }

bool CheckControl::Set(int value) {
    const int v = value ? 1 : 0;
    if (v == value_) return false;
    value_ = v;
    return true;
}

void WriteFieldNow(int dev, const RegisterField& field, int code) {
    if (code < 0) return;  // a list with nothing chosen has no code to write
    if ((field.mask & 0xFF) == 0xFF) {
        WriteRegister(dev, field.reg, field.Encode(code));
        return;
    }
    const int v = ReadRegister(dev, field.reg);
    WriteRegister(dev, field.reg, (v & ~field.mask & 0xFF) | field.Encode(code));
}

void FieldPage::Bind(ListControl& list, RegisterField field, WriteRule rule) {
    bindings_.push_back({field, &list, nullptr, rule});
}

void FieldPage::Bind(CheckControl& check, RegisterField field, WriteRule rule) {
    bindings_.push_back({field, nullptr, &check, rule});
}

const FieldPage::Binding* FieldPage::Find(const void* control) const {
    for (const Binding& b : bindings_)
        if (b.list == control || b.check == control) return &b;
    return nullptr;
}

void FieldPage::SetUp(int dev) {
    int reg = -1;
    int value = 0;
    for (const Binding& b : bindings_) {
        if (b.field.reg != reg) {
            reg = b.field.reg;
            value = ReadRegister(dev, reg);
        }
        const int code = b.field.Decode(value);
        const bool raised = b.list ? b.list->Select(code) : b.check->Set(code);
        if (raised && b.rule == WriteRule::AtOnce) WriteFieldNow(dev, b.field, b.Code());
    }
}

void FieldPage::Choose(int dev, ListControl& list, int index) {
    const Binding* b = Find(&list);
    if (!b || !list.Select(index)) return;
    if (b->rule == WriteRule::AtOnce) WriteFieldNow(dev, b->field, list.Code());
}

void FieldPage::Choose(int dev, CheckControl& check, int value) {
    const Binding* b = Find(&check);
    if (!b || !check.Set(value)) return;
    if (b->rule == WriteRule::AtOnce) WriteFieldNow(dev, b->field, check.Code());
}

void FieldPage::Apply(int dev) {
    std::vector<int> done;
    for (const Binding& first : bindings_) {
        if (first.rule == WriteRule::AtOnce) continue;
        const int reg = first.field.reg;
        if (std::find(done.begin(), done.end(), reg) != done.end()) continue;
        done.push_back(reg);
        int covered = 0;
        int fields = 0;
        bool unchosen = false;
        for (const Binding& b : bindings_) {
            if (b.field.reg != reg || b.rule == WriteRule::AtOnce) continue;
            unchosen = unchosen || b.Code() < 0;
            covered |= b.field.mask;
            fields |= b.field.Encode(b.Code());
        }
        // A register with a list that has nothing chosen is left as the chip has it.
        if (unchosen) continue;
        int v = 0;
        if (first.rule == WriteRule::ApplyKeepOthers) v = ReadRegister(dev, reg) & ~covered & 0xFF;
        WriteRegister(dev, reg, v | fields);
    }
}

int DeviceIndexOf(int address) {
    if (address == Shared().DeviceAddress[0]) return 0;
    if (address == Shared().DeviceAddress[1]) return 1;
    return -1;
}

