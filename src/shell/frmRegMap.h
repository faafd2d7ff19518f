#pragma once
// The register map window: the register tree, the read/write panel, the decoded value and the
// clickable bits. It shows RegMapLogic's state and forwards the user's actions to it.
#include "shell/page_window.h"
#include "shell/regmap_logic.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class frmRegMap : public PageWindow {
    Q_OBJECT
public:
    frmRegMap();

    void Form_Load() override;
    void Form_Unload() override;
    bool ContinuousReadTicked() const override { return logic_.ContRead; }
    void cmdRead_Click() override;

    RegMapLogic& Logic() { return logic_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool releaseAfterDoubleClick_ = false;
    void FillRegisterMapTree();
    void TreeView1_NodeClick(QTreeWidgetItem* node);
    void cmdWrite_Click();
    void lblBit_Click(int Index);
    // Puts the logic's state on the controls without raising their handlers.
    void ShowState();

    RegMapLogic logic_;
    QGroupBox* Frame1 = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QLabel* lblRegDescription = nullptr;
    QLabel* lblCurrentAddr = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* lblHexVal = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* lblDecVal = nullptr;
    QGroupBox* fraBits = nullptr;
    std::array<QLabel*, 16> lblBit{};
    std::array<QLabel*, 16> lblInfo{};
    QGroupBox* Frame6 = nullptr;
    QComboBox* cmbDevAddr = nullptr;
    QLineEdit* txtAddrPtr = nullptr;
    QLabel* lblRead = nullptr;
    QPushButton* cmdRead = nullptr;
    QLineEdit* txtWrite = nullptr;
    QPushButton* cmdWrite = nullptr;
    QCheckBox* chkContRead = nullptr;
    QCheckBox* chkDisablePolling = nullptr;
    QPushButton* cmdClose = nullptr;
};
