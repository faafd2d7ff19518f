#pragma once
// Helpers shared by the page tests: traces as std strings, and the main window with the pages.
#include "fixture.h"

#include "pages/page_registry.h"
#include "shell/frmMain.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <string>
#include <vector>

using Trace = std::vector<std::string>;

// Closed pages are deleted later: let that happen now.
inline void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

inline Trace TraceOf(const EmulatedBoard& board) {
    Trace t;
    for (const QString& line : board.AccessTrace()) t.push_back(line.toStdString());
    return t;
}

// A run on the emulated board with one chip at 0x48 and the main window holding the pages.
class PageWidgetFixture : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        UseBoardWithChips({0x48});
        RegisterConfigurationPages();
        main = new frmMain;
        SetMainForm(main);
    }
    void TearDown() override {
        delete main.data();
        SetMainForm(nullptr);
        RunFixture::TearDown();
    }
    template <class T>
    T* Child(PageWindow* page, const char* name) {
        return page->findChild<T*>(QString::fromLatin1(name));
    }
    QPointer<frmMain> main;
};
