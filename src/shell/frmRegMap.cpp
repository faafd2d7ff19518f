#include "shell/frmRegMap.h"

#include "core/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace {

void Place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

template <class W>
W* Make(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    Place(w, left, top, width, height);
    return w;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
                  int height = 255) {
    auto* l = Make<QLabel>(parent, name, left, top, width, height);
    l->setText(text);
    return l;
}

QColor Rgb(uint32_t rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

void SetTextColor(QLabel* label, uint32_t rgb) {
    // The continuous read shows the bits twice a second: most keep their colour.
    if (label->palette().color(QPalette::WindowText) == Rgb(rgb)) return;
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, Rgb(rgb));
    label->setPalette(p);
}

void SetTextIfChanged(QLineEdit* edit, const QString& text) {
    if (edit->text() != text) edit->setText(text);
}

constexpr int kKeyColumn = 0;  // the node key sits in Qt::UserRole of this column

}  // namespace

frmRegMap::frmRegMap() {
    setObjectName(QStringLiteral("frmRegMap"));
    setWindowTitle(QStringLiteral("RegisterAccess"));

    Frame1 = Make<QGroupBox>(this, "Frame1", 120, 60, 4095, 7155);
    TreeView1 = Make<QTreeWidget>(Frame1, "TreeView1", 120, 180, 3855, 6855);
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    // Whole register names: the column takes the width of the longest and the tree scrolls sideways.
    TreeView1->header()->setStretchLastSection(false);
    TreeView1->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    TreeView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(TreeView1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node, int) { TreeView1_NodeClick(node); });

    Frame3 = Make<QGroupBox>(this, "Frame3", 4335, 60, 4695, 1875);
    Frame3->setTitle(QStringLiteral("Register Details"));
    // The register's name takes the frame's whole width beside its caption: the longest names need it.
    MakeLabel(Frame3, "Label7", QStringLiteral("Register"), 120, 360, 900);
    lblRegDescription = MakeLabel(Frame3, "lblRegDescription", logic_.RegDescription, 1080, 360, 3495);
    MakeLabel(Frame3, "Label8", QStringLiteral("Address"), 120, 720, 900);
    lblCurrentAddr = MakeLabel(Frame3, "lblCurrentAddr", logic_.CurrentAddr, 1080, 720, 3495);
    Label9 = MakeLabel(Frame3, "Label9", logic_.Label9, 120, 1080, 2535);
    lblHexVal = MakeLabel(Frame3, "lblHexVal", logic_.HexVal, 2760, 1080, 1815);
    Label10 = MakeLabel(Frame3, "Label10", logic_.Label10, 120, 1440, 2535);
    lblDecVal = MakeLabel(Frame3, "lblDecVal", logic_.DecVal, 2760, 1440, 1815);

    fraBits = Make<QGroupBox>(this, "fraBits", 4335, 2055, 4695, 1695);
    fraBits->setTitle(QStringLiteral("Bit Display"));
    QFont bitFont = font();
    bitFont.setPointSize(bitFont.pointSize() + 4);
    bitFont.setBold(true);
    for (int i = 0; i < 16; ++i) {
        lblBit[static_cast<size_t>(i)] =
            MakeLabel(fraBits, "lblBit", QStringLiteral("0"), 0, 0, 225, 435);
        lblBit[static_cast<size_t>(i)]->setObjectName(QStringLiteral("lblBit%1").arg(i));
        lblBit[static_cast<size_t>(i)]->setFont(bitFont);
        lblBit[static_cast<size_t>(i)]->setAlignment(Qt::AlignCenter);
        lblBit[static_cast<size_t>(i)]->setCursor(Qt::PointingHandCursor);
        lblBit[static_cast<size_t>(i)]->installEventFilter(this);
        lblInfo[static_cast<size_t>(i)] = MakeLabel(fraBits, "lblInfo", QString(), 0, 0, 105, 195);
        lblInfo[static_cast<size_t>(i)]->setObjectName(QStringLiteral("lblInfo%1").arg(i));
        lblInfo[static_cast<size_t>(i)]->setAlignment(Qt::AlignCenter);
    }

    Frame6 = Make<QGroupBox>(this, "Frame6", 4335, 3870, 4695, 2595);
    Frame6->setTitle(QStringLiteral("Read/Write"));
    MakeLabel(Frame6, "Label1", QStringLiteral("Device Address"), 120, 360, 1800);
    cmbDevAddr = Make<QComboBox>(Frame6, "cmbDevAddr", 2040, 300, 1200, 315);
    connect(cmbDevAddr, &QComboBox::activated, this, [this](int index) { logic_.DeviceIndex = index; });
    MakeLabel(Frame6, "Label11", QStringLiteral("Address Pointer"), 120, 780, 1800);
    txtAddrPtr = Make<QLineEdit>(Frame6, "txtAddrPtr", 2040, 720, 1200, 315);
    connect(txtAddrPtr, &QLineEdit::textEdited, this, [this](const QString& t) { logic_.AddrPtrText = t; });
    cmdRead = Make<QPushButton>(Frame6, "cmdRead", 3360, 690, 1095, 375);
    cmdRead->setText(QStringLiteral("Read"));
    connect(cmdRead, &QPushButton::clicked, this, [this] {
        logic_.cmdRead_ButtonClick();
        ShowState();
    });
    MakeLabel(Frame6, "Label2", QStringLiteral("Data In"), 120, 1200, 1800);
    lblRead = MakeLabel(Frame6, "lblRead", QString(), 2040, 1200, 1200);
    MakeLabel(Frame6, "Label3", QStringLiteral("Data Out"), 120, 1620, 1800);
    txtWrite = Make<QLineEdit>(Frame6, "txtWrite", 2040, 1560, 1200, 315);
    connect(txtWrite, &QLineEdit::textEdited, this, [this](const QString& t) { logic_.WriteText = t; });
    cmdWrite = Make<QPushButton>(Frame6, "cmdWrite", 3360, 1530, 1095, 375);
    cmdWrite->setText(QStringLiteral("Write"));
    connect(cmdWrite, &QPushButton::clicked, this, [this] { cmdWrite_Click(); });
    chkContRead = Make<QCheckBox>(Frame6, "chkContRead", 120, 2040, 2160, 315);
    chkContRead->setText(QStringLiteral("Continuous Read"));
    connect(chkContRead, &QCheckBox::clicked, this, [this](bool ticked) { logic_.ContRead = ticked; });
    chkDisablePolling = Make<QCheckBox>(Frame6, "chkDisablePolling", 2400, 2040, 2160, 315);
    chkDisablePolling->setText(QStringLiteral("Disable Polling"));
    connect(chkDisablePolling, &QCheckBox::clicked, this,
            [this](bool ticked) { logic_.chkDisablePolling_Click(ticked); });

    cmdClose = Make<QPushButton>(this, "cmdClose", 7935, 6600, 1095, 375);
    cmdClose->setText(QStringLiteral("Close"));
    connect(cmdClose, &QPushButton::clicked, this, [this] { Unload(); });

    ShowState();
}

void frmRegMap::Form_Load() {
    SetFormSize(9285, 7950);
    CenterForm();
    logic_.Form_Load();
    FillRegisterMapTree();
    {
        const QSignalBlocker block(cmbDevAddr);
        cmbDevAddr->clear();
        cmbDevAddr->addItems(logic_.DeviceItems);
    }
    ShowState();
}

void frmRegMap::Form_Unload() { logic_.Form_Unload(); }

void frmRegMap::FillRegisterMapTree() {
    const QSignalBlocker block(TreeView1);
    TreeView1->clear();
    TreeView1->setIndentation(TwipsToPixels(200));
    auto* root = new QTreeWidgetItem(TreeView1, QStringList{RegMapLogic::kRootKey});
    root->setData(kKeyColumn, Qt::UserRole, RegMapLogic::kRootKey);
    root->setForeground(0, Rgb(kRegMapRed));
    for (const RegMapNode& n : logic_.Nodes) {
        auto* child = new QTreeWidgetItem(root, QStringList{n.Text});
        child->setData(kKeyColumn, Qt::UserRole, n.Key);
        child->setForeground(0, Rgb(kRegMapBlue));
    }
    root->setExpanded(true);
}

void frmRegMap::TreeView1_NodeClick(QTreeWidgetItem* node) {
    if (!node) return;
    logic_.TreeView1_NodeClick(node->data(kKeyColumn, Qt::UserRole).toString());
    ShowState();
}

void frmRegMap::cmdRead_Click() {
    logic_.cmdRead_Click();
    ShowState();
}

void frmRegMap::cmdWrite_Click() {
    logic_.cmdWrite_Click();
    ShowState();
}

void frmRegMap::lblBit_Click(int Index) {
    logic_.lblBit_Click(Index);
    ShowState();
}

bool frmRegMap::eventFilter(QObject* watched, QEvent* event) {
    // A double click is one click on a bit: its second release must not toggle the bit back.
    if (event->type() == QEvent::MouseButtonDblClick) {
        releaseAfterDoubleClick_ = true;
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) releaseAfterDoubleClick_ = false;
    if (event->type() == QEvent::MouseButtonRelease && releaseAfterDoubleClick_) {
        releaseAfterDoubleClick_ = false;
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        for (int i = 0; i < 16; ++i) {
            QLabel* l = lblBit[static_cast<size_t>(i)];
            if (watched == l && me->button() == Qt::LeftButton && l->rect().contains(me->position().toPoint())) {
                lblBit_Click(i);
                return true;
            }
        }
    }
    return PageWindow::eventFilter(watched, event);
}

void frmRegMap::ShowState() {
    lblRegDescription->setText(logic_.RegDescription);
    lblCurrentAddr->setText(logic_.CurrentAddr);
    Label9->setText(logic_.Label9);
    Label10->setText(logic_.Label10);
    lblHexVal->setText(logic_.HexVal);
    lblDecVal->setText(logic_.DecVal);
    lblRead->setText(logic_.ReadText);
    {
        const QSignalBlocker b1(txtAddrPtr);
        const QSignalBlocker b2(txtWrite);
        SetTextIfChanged(txtAddrPtr, logic_.AddrPtrText);
        SetTextIfChanged(txtWrite, logic_.WriteText);
    }
    {
        const QSignalBlocker b(cmbDevAddr);
        cmbDevAddr->setCurrentIndex(logic_.DeviceIndex);
    }
    {
        const QSignalBlocker b1(chkContRead);
        const QSignalBlocker b2(chkDisablePolling);
        chkContRead->setChecked(logic_.ContRead);
        chkDisablePolling->setChecked(logic_.DisablePolling);
    }
    for (size_t i = 0; i < 16; ++i) {
        const RegMapLabel& b = logic_.Bits[i];
        lblBit[i]->setText(b.Caption);
        SetTextColor(lblBit[i], b.Color);
        Place(lblBit[i], b.Left, b.Top, b.Width, b.Height);
        lblBit[i]->setVisible(b.Visible);
        const RegMapLabel& n = logic_.Info[i];
        lblInfo[i]->setText(n.Caption);
        // Wider than its slot so two-digit numbers are not clipped; centred on the same spot.
        Place(lblInfo[i], n.Left + n.Width / 2 - 150, n.Top, 300, n.Height);
        lblInfo[i]->setVisible(n.Visible);
    }
}
