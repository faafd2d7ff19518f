// The register map window offscreen, opened through the main window.
#include "fixture.h"

#include "shell/frmMain.h"
#include "shell/frmRegMap.h"
#include "shell/shell_windows.h"
#include "../pages/text_fit.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>

using Trace = std::vector<QString>;

class RegMapWindowTest : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        RegisterShellWindows();
        UseBoardWithChips({0x48});
        main = new frmMain;
        SetMainForm(main);
        main->resize(1200, 900);
        main->show();
    }
    void TearDown() override {
        delete main;
        FlushDeletes();
        RunFixture::TearDown();
    }
    static void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    frmRegMap* Open() {
        auto* w = qobject_cast<frmRegMap*>(main->OpenTool(ToolKind::RegMap, true));
        board.ClearLog();
        return w;
    }
    template <class T>
    static T* Child(QWidget* w, const char* name) {
        T* c = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static void Type(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        for (QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QCoreApplication::sendEvent(edit, &press);
        }
    }
    static void Click(QWidget* w) {
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        const QPointF global = w->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &press);
        QCoreApplication::sendEvent(w, &release);
    }
    // What the platform sends for a double click: press, release, double click, release.
    static void DoubleClick(QWidget* w) {
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        const QPointF global = w->mapToGlobal(at);
        Click(w);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &dbl);
        QCoreApplication::sendEvent(w, &release);
    }

    frmMain* main = nullptr;
};

TEST_F(RegMapWindowTest, MenuToolbarAndTreeOpenOneWindow) {
    QAction* menu = main->findChild<QAction*>(QStringLiteral("mnuRegMap"));
    ASSERT_NE(menu, nullptr);
    menu->trigger();
    auto* w = qobject_cast<frmRegMap*>(main->Tool(ToolKind::RegMap));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "RegisterAccess");
    EXPECT_TRUE(Shared().RegMapOpen);
    EXPECT_TRUE(w->isVisible());

    auto* tree = Child<QTreeWidget>(w, "TreeView1");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    EXPECT_EQ(root->text(0), "Register Map");
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(root->foreground(0).color(), QColor(255, 0, 0));
    ASSERT_EQ(root->childCount(), 127);
    EXPECT_EQ(root->child(0)->text(0), "00h - Fault 1");
    EXPECT_EQ(root->child(0)->foreground(0).color(), QColor(0, 0, 255));
    EXPECT_EQ(root->child(126)->text(0), "83h - Reg 19");

    main->findChild<QAction*>(QStringLiteral("tbReg"))->trigger();
    EXPECT_EQ(main->Tool(ToolKind::RegMap), w);
    EXPECT_EQ(main->MdiArea()->activeSubWindow(), w->parentWidget());
    EXPECT_EQ(main->OpenTool(ToolKind::RegMap, true), w);  // as block label 8 does
    EXPECT_EQ(main->MdiArea()->subWindowList().size(), 1);
    EXPECT_TRUE(board.AccessTrace().empty());
}

TEST_F(RegMapWindowTest, TypedReadAndBitClickOnScreen) {
    board.Regs(0x48)[0x41] = 0x41;
    frmRegMap* w = Open();
    ASSERT_NE(w, nullptr);
    auto* addr = Child<QLineEdit>(w, "txtAddrPtr");
    Type(addr, QStringLiteral("41"));
    Child<QPushButton>(w, "cmdRead")->click();
    EXPECT_EQ(board.AccessTrace(), (Trace{"R 48 41"}));
    EXPECT_EQ(Child<QLabel>(w, "lblRead")->text(), "41");
    EXPECT_EQ(Child<QLabel>(w, "lblHexVal")->text(), "41h");
    EXPECT_EQ(Child<QLabel>(w, "lblDecVal")->text(), "65");
    EXPECT_EQ(Child<QLabel>(w, "Label9")->text(), "Current value (Hex)");
    EXPECT_FALSE(Child<QLabel>(w, "lblBit8")->isVisibleTo(w));

    board.ClearLog();
    Click(Child<QLabel>(w, "lblBit3"));
    EXPECT_EQ(board.AccessTrace(), (Trace{"W 48 41 49", "R 48 41"}));
    EXPECT_EQ(Child<QLineEdit>(w, "txtWrite")->text(), "49");
    EXPECT_EQ(Child<QLabel>(w, "lblBit3")->text(), "1");

    // A double click toggles once, and the click after it is a click again.
    board.ClearLog();
    DoubleClick(Child<QLabel>(w, "lblBit0"));
    EXPECT_EQ(board.AccessTrace(), (Trace{"W 48 41 48", "R 48 41"}));
    board.ClearLog();
    Click(Child<QLabel>(w, "lblBit0"));
    EXPECT_EQ(board.AccessTrace(), (Trace{"W 48 41 49", "R 48 41"}));

    // A new address typed but not read: the bits on screen belong to 0x41.
    board.ClearLog();
    Type(addr, QStringLiteral("42"));
    Click(Child<QLabel>(w, "lblBit3"));
    EXPECT_TRUE(board.AccessTrace().empty());
    EXPECT_EQ(Child<QLabel>(w, "lblBit3")->text(), "1");

    EXPECT_TRUE(prompts.Shown.empty());
    Type(Child<QLineEdit>(w, "txtWrite"), QStringLiteral("100"));
    Child<QPushButton>(w, "cmdWrite")->click();
    EXPECT_TRUE(board.AccessTrace().empty());
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].text, RegMapLogic::DataRangeMessage());
    EXPECT_EQ(prompts.Shown[0].title, kAppTitle);
    Type(addr, QStringLiteral("1FF"));
    Child<QPushButton>(w, "cmdRead")->click();
    EXPECT_TRUE(board.AccessTrace().empty());
    ASSERT_EQ(prompts.Shown.size(), 2u);
    EXPECT_EQ(prompts.Shown[1].text, RegMapLogic::AddressRangeMessage());
}

TEST_F(RegMapWindowTest, NodeClickShowsTwoRows) {
    board.ScriptReads(0x48, 0x16, {0xAB, 0xC8});
    frmRegMap* w = Open();
    auto* tree = Child<QTreeWidget>(w, "TreeView1");
    QTreeWidgetItem* node = tree->findItems(QStringLiteral("16h - VS2 Voltage Value"), Qt::MatchExactly | Qt::MatchRecursive).value(0);
    ASSERT_NE(node, nullptr);
    emit tree->itemClicked(node, 0);
    EXPECT_EQ(board.AccessTrace(), (Trace{"R 48 16", "R 48 16"}));
    EXPECT_EQ(Child<QLineEdit>(w, "txtAddrPtr")->text(), "16h");
    EXPECT_EQ(Child<QLabel>(w, "lblRegDescription")->text(), "VS2 Voltage Value");
    EXPECT_EQ(Child<QLabel>(w, "lblCurrentAddr")->text(), "16h");
    EXPECT_EQ(Child<QLabel>(w, "lblHexVal")->text(), "ABCh");
    EXPECT_EQ(Child<QLabel>(w, "lblDecVal")->text(), "2748");
    EXPECT_EQ(Child<QLabel>(w, "lblRead")->text(), "");
    auto* bit8 = Child<QLabel>(w, "lblBit8");
    EXPECT_TRUE(bit8->isVisibleTo(w));
    EXPECT_EQ(bit8->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    EXPECT_LT(Child<QLabel>(w, "lblBit7")->y(), Child<QLabel>(w, "lblBit15")->y());

    board.ClearLog();
    Click(Child<QLabel>(w, "lblBit3"));
    Click(bit8);
    EXPECT_TRUE(board.AccessTrace().empty());

    emit tree->itemClicked(tree->topLevelItem(0), 0);  // the root
    EXPECT_TRUE(board.AccessTrace().empty());

    // A typed address read after the node: the details follow the value shown.
    Type(Child<QLineEdit>(w, "txtAddrPtr"), QStringLiteral("3D"));
    Child<QPushButton>(w, "cmdRead")->click();
    EXPECT_EQ(Child<QLabel>(w, "lblHexVal")->text(), "41h");
    EXPECT_EQ(Child<QLabel>(w, "lblRegDescription")->text(), "Manufacturers ID");
    EXPECT_EQ(Child<QLabel>(w, "lblCurrentAddr")->text(), "3Dh");
}

TEST_F(RegMapWindowTest, ContinuousReadAndDisablePollingAcrossReopen) {
    frmRegMap* w = Open();
    Type(Child<QLineEdit>(w, "txtAddrPtr"), QStringLiteral("3D"));
    Child<QCheckBox>(w, "chkContRead")->click();
    Child<QCheckBox>(w, "chkDisablePolling")->click();
    EXPECT_TRUE(Shared().PollingDisabled);
    main->tmrMaster_Timer();
    EXPECT_EQ(board.AccessTrace(), (Trace{"R 48 3D"}));
    EXPECT_EQ(Child<QLabel>(w, "lblHexVal")->text(), "41h");

    Child<QPushButton>(w, "cmdClose")->click();
    EXPECT_FALSE(Shared().RegMapOpen);
    EXPECT_TRUE(Shared().PollingDisabled);
    FlushDeletes();
    EXPECT_EQ(main->Tool(ToolKind::RegMap), nullptr);
    board.ClearLog();
    clock.Now += 1;
    main->tmrMaster_Timer();
    EXPECT_TRUE(board.AccessTrace().empty());

    w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(Child<QCheckBox>(w, "chkDisablePolling")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(w, "chkContRead")->isChecked());
    EXPECT_EQ(Child<QLineEdit>(w, "txtAddrPtr")->text(), "");
    EXPECT_TRUE(Shared().RegMapOpen);

    // The window's own close box unloads it too.
    qobject_cast<QMdiSubWindow*>(w->parentWidget())->close();
    EXPECT_FALSE(Shared().RegMapOpen);
    EXPECT_TRUE(Shared().PollingDisabled);
}

// Every register name shows whole: the column is as wide as the longest and the tree scrolls
// sideways when the column is wider than the tree.
TEST_F(RegMapWindowTest, TreeShowsWholeRegisterNames) {
    frmRegMap* w = Open();
    ASSERT_TRUE(w);
    QTreeWidget* tree = Child<QTreeWidget>(w, "TreeView1");
    ASSERT_TRUE(tree);
    QCoreApplication::processEvents();
    QTreeWidgetItem* root = tree->topLevelItem(0);
    ASSERT_TRUE(root);
    const QFontMetrics fm(tree->font());
    int widest = 0;
    for (int i = 0; i < root->childCount(); ++i) {
        QTreeWidgetItem* item = root->child(i);
        const QRect r = tree->visualItemRect(item);
        const int needed = fm.horizontalAdvance(item->text(0));
        widest = std::max(widest, needed);
        EXPECT_GE(r.width(), needed) << item->text(0).toStdString();
    }
    EXPECT_GE(tree->columnWidth(0), tree->indentation() + widest);

    // The details of every register, and of a wide value, show whole as well.
    QStringList cut;
    for (int i = 0; i < root->childCount(); ++i) {
        emit tree->itemClicked(root->child(i), 0);
        cut << CutTexts(w);
    }
    EXPECT_EQ(cut, QStringList());
    emit tree->itemClicked(tree->findItems(QStringLiteral("13h - CS1 Value"), Qt::MatchExactly | Qt::MatchRecursive).value(0), 0);
    EXPECT_EQ(CutTexts(w), QStringList());
    const int overflow = tree->columnWidth(0) - tree->viewport()->width();
    if (overflow > 0) {
        EXPECT_GE(tree->horizontalScrollBar()->maximum(), overflow);
    }
}
