#include "shell/frmDevice.h"

#include "core/numbers.h"
#include "core/run_state.h"
#include "core/twips.h"
#include "link/register_access.h"
#include "shell/block_diagram_layout.h"
#include "shell/block_diagram_picture.h"
#include "shell/frmMain.h"
#include "shell/live_text.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <cmath>

namespace {

struct BlockPage {
    PageKind kind;
    const char* title;
};
// What blocks 0 to 9 open; block 8 is the register map.
const BlockPage kBlockPages[kBlockCount] = {
    {PageKind::PWM, "PWM Output Control (0x"},
    {PageKind::DigFilter, "Filter Settings (0x"},
    {PageKind::Limits, "Fault Status and Configuration (0x"},
    {PageKind::Share, "Share Bus Settings (0x"},
    {PageKind::CurrentSense, "Current Sensing (0x"},
    {PageKind::VoltageSense, "Voltage Sensing (0x"},
    {PageKind::OrFET, "OrFET Control (0x"},
    {PageKind::General, "General Settings (0x"},
    {PageKind::Count, nullptr},
    {PageKind::VoltageSense, "Voltage Sensing (0x"},
};
constexpr int kRegMapBlock = 8;

void Place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

QLabel* PictureLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

LiveText* LiveValue(QWidget* parent, const char* name) {
    auto* l = new LiveText(parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

}  // namespace

QString DeviceValueText(float value, const QString& unit) {
    return LiveValueText(static_cast<float>(RoundHalfEven(value, 2)), unit);
}

frmDevice::frmDevice() {
    setObjectName(QStringLiteral("frmDevice"));
    const QString darkBlue = QStringLiteral("color: rgb(0, 0, 192);");

    Label1 = new QLabel(QStringLiteral("ZVC7140 Block Diagram"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStyleSheet(darkBlue);
    // The title keeps its size against the text around it, whatever the user's font.
    QFont title = Label1->font();
    title.setBold(true);
    title.setPointSizeF(12 * LayoutScale());
    Label1->setFont(title);
    Place(Label1, 120, 60, 4200, 390);
    Label2 = new QLabel(QStringLiteral("Click on the blocks to access the related functions "), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setStyleSheet(darkBlue);
    Place(Label2, 4560, 120, 6600, 300);

    pctDevice = new BlockDiagramPicture(this);
    pctDevice->move(TwipsToPixels(kPictureRect.Left), TwipsToPixels(kPictureRect.Top));
    connect(pctDevice, &BlockDiagramPicture::mouseMovedOver, this, [this](int block) {
        if (block >= 0)
            lblSelection_MouseMove(block);
        else
            pctDevice_MouseMove();
    });
    pctDevice->installEventFilter(this);
    connect(pctDevice, &BlockDiagramPicture::blockClicked, this, &frmDevice::lblSelection_Click);
    connect(pctDevice, &BlockDiagramPicture::blockDoubleClicked, this, &frmDevice::lblSelection_DblClick);

    // Two further blocks carry a description only.
    Label3 = PictureLabel(pctDevice, "Label3", QString());
    Label3->setToolTip(QStringLiteral("ADC: converts the sensed voltages, currents and the temperature for the digital loop and the fault monitor"));
    lblVantrel = PictureLabel(pctDevice, "lblVantrel", QString());
    lblVantrel->setToolTip(QStringLiteral("EEPROM: keeps the register settings while the chip is unpowered"));
    for (int i = 0; i < 2; ++i) {
        const TwipsRect r = DescribedBlockRect(i);
        Place(i == 0 ? Label3 : lblVantrel, r.Left, r.Top, r.Width, r.Height);
    }

    const char* names[3] = {"Output Voltage (VS3) ", "Output Current", "Share Bus Voltage"};
    const int nameTops[3] = {5280, 5980, 6680};
    for (int i = 0; i < 3; ++i) {
        Label4[static_cast<size_t>(i)] = PictureLabel(pctDevice, "Label4", QString::fromLatin1(names[i]));
        Place(Label4[static_cast<size_t>(i)], 480, nameTops[i], i == 0 ? 2295 : 1695, 255);
    }
    QLabel** const values[3] = {&lblVS3, &lblOutputCurrent, &lblShareVoltage};
    const char* const valueNames[3] = {"lblVS3", "lblOutputCurrent", "lblShareVoltage"};
    for (int i = 0; i < 3; ++i) {
        LiveText* v = LiveValue(pctDevice, valueNames[i]);
        StyleLiveValue(v);
        Place(v, 480, nameTops[i] + 280, 1695, 315);
        v->HoldSize();
        *values[i] = v;
    }
    // The names and values lie over the picture's free area (and block 9): the picture handles the mouse.
    for (QLabel* l : {Label4[0], Label4[1], Label4[2], lblVS3, lblOutputCurrent, lblShareVoltage})
        l->setAttribute(Qt::WA_TransparentForMouseEvents);

    cmdUpdateEEPROM = new QPushButton(QStringLiteral("Update EEPROM"), pctDevice);
    cmdUpdateEEPROM->setObjectName(QStringLiteral("cmdUpdateEEPROM"));
    Place(cmdUpdateEEPROM, 2640, 7320, 1935, 375);
    connect(cmdUpdateEEPROM, &QPushButton::clicked, this, &frmDevice::cmdUpdateEEPROM_Click);
}

frmDevice::~frmDevice() {
    // A page deleted with the main window, without its close, must not leave its flag set.
    if (!IsUnloaded()) Form_Unload();
}

void frmDevice::Form_Load() {
    SetFormSize(13200, 9195);
    CenterForm();
}

void frmDevice::SetupFormAfterLoad() {
    const int a = PageAddress();
    if (a == Shared().DeviceAddress[0])
        Shared().DeviceFormOpen[0] = true;
    else if (a == Shared().DeviceAddress[1])
        Shared().DeviceFormOpen[1] = true;
}

void frmDevice::Form_Unload() {
    const int a = PageAddress();
    if (a == Shared().DeviceAddress[0])
        Shared().DeviceFormOpen[0] = false;
    else if (a == Shared().DeviceAddress[1])
        Shared().DeviceFormOpen[1] = false;
}

void frmDevice::DisplayValues() {
    const int i = DeviceIndexOrNone();
    if (i < 0) return;
    const DeviceRecord& d = Shared().Devices[static_cast<size_t>(i)];
    lblVS3->setText(DeviceValueText(d.OutputVoltage, QStringLiteral("V")));
    lblOutputCurrent->setText(DeviceValueText(d.OutputCurrent, QStringLiteral("A")));
    lblShareVoltage->setText(DeviceValueText(d.ShareBusVoltage, QStringLiteral("V")));
}

int frmDevice::BlockDeviceIndex() const { return Shared().DeviceCount == 1 ? 0 : DeviceIndexOrNone(); }

void frmDevice::lblSelection_Click(int Index) {
    if (Index < 0 || Index >= kBlockCount) return;
    frmMain* main = MainForm();
    if (!main) return;
    if (Index == kRegMapBlock) {
        main->OpenTool(ToolKind::RegMap, true);
        return;
    }
    const int device = BlockDeviceIndex();
    if (device < 0) return;
    // A page that is not available opens nothing, quietly.
    const BlockPage& page = kBlockPages[Index];
    main->OpenDevicePage(page.kind, device, QString::fromLatin1(page.title), PageAddress());
}

void frmDevice::lblSelection_DblClick(int Index) {
    if (Index >= 0 && Index <= 7) lblSelection_Click(Index);
}

void frmDevice::lblSelection_MouseMove(int Index) {
    setCursor(Qt::ArrowCursor);
    HighlightBlock(Index);
}

void frmDevice::pctDevice_MouseMove() { HighlightBlock(-1); }

// Leaving the picture, onto the page around it or out of the window, is a move onto free area.
bool frmDevice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pctDevice && event->type() == QEvent::Leave) pctDevice_MouseMove();
    return PageWindow::eventFilter(watched, event);
}

void frmDevice::HighlightBlock(int Index) { pctDevice->SetHighlight(Index); }

void frmDevice::cmdUpdateEEPROM_Click() {
    const int address = PageAddress();
    WriteRegister(address, 0x68, 0xA7);
    WriteRegister(address, 0x83, 0xA7);
}
