#include "pages/frmPWM.h"

#include "core/twips.h"
#include "pages/widgets/pwm_canvas.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Indexed(const char* name, int i) { return QString::fromLatin1(name) + u'_' + QString::number(i); }

}  // namespace

frmPWM::frmPWM() {
    setObjectName(QStringLiteral("frmPWM"));
    setWindowTitle(QStringLiteral("PWM Output Control"));
    setMouseTracking(true);
    views.onChoose = [this](ListControl& l, int i) {
        if (&l == &logic.cmbAuxFreq) logic.ChooseAuxFreq(i);
        if (&l == &logic.cmbTopology) logic.ChooseTopology(i);
        Refresh();
    };
    views.onTick = [this](CheckControl& c, int v) {
        logic.Tick(c, v);
        Refresh();
    };

    auto* top = new QHBoxLayout;
    top->addWidget(NewLabel(QStringLiteral("Converter Topology"), "Label4"));
    top->addWidget(views.Add(NewList("cmbTopology"), logic.cmbTopology));
    top->addSpacing(ScaledPixels(20));
    top->addWidget(NewLabel(QStringLiteral("PWM  Frequency"), "Label5"));
    lblPWMFreq = NewLabel(QString(), "lblPWMFreq");
    lblPWMFreq->setToolTip(QStringLiteral("PWM Switching Frequency is programmable in the Digital Filter Window"));
    lblPWMFreq->setMinimumWidth(ScaledPixels(60));
    lblPWMFreq->setFrameShape(QFrame::Panel);
    lblPWMFreq->setFrameShadow(QFrame::Sunken);
    top->addWidget(lblPWMFreq);
    QComboBox* freq = views.Add(NewList("cmbFreq"), logic.cmbFreq);
    freq->setVisible(false);  // follows the filter designer; the user cannot reach it
    top->addWidget(freq);
    top->addSpacing(ScaledPixels(20));
    top->addWidget(NewLabel(QStringLiteral("AUX PWM  Frequency"), "Label7"));
    top->addWidget(views.Add(NewList("cmbAuxFreq"), logic.cmbAuxFreq));
    top->addStretch();

    auto* rows = new QGridLayout;
    rows->setVerticalSpacing(ScaledPixels(2));
    for (int i = 0; i < pwm::kOutputs; ++i) {
        const char* nameLabel = i == 1 ? "Label6" : nullptr;
        QLabel* name = NewLabel(PWMOutputName(i), nameLabel);
        if (!nameLabel) name->setObjectName(Indexed("Label3", i == 0 ? 0 : i - 1));
        name->setWordWrap(true);
        name->setFixedWidth(TwipsToPixels(pwm::kPictureLeft) - ScaledPixels(8));
        rows->addWidget(name, i, 0);

        auto* canvas = new PWMCanvas;
        canvas->setObjectName(Indexed("pctPWM", i));
        // A click or a move on a picture changes only that output and the pointer.
        canvas->onMouseDown = [this, i](double x) {
            logic.pctPWM_MouseDown(i, x);
            ShowOutput(i);
            ShowPointer();
        };
        canvas->onMouseMove = [this, i](double x) {
            logic.pctPWM_MouseMove(i, x);
            ShowOutput(i);
            ShowPointer();
        };
        pctPWM[i] = canvas;
        rows->addWidget(canvas, i, 1);

        auto* nudges = new QGridLayout;
        nudges->setSpacing(ScaledPixels(1));
        const std::pair<const char*, const char*> buttons[2][2] = {{{"cmdRisingLeft", "<"}, {"cmdRisingRight", ">"}},
                                                                   {{"cmdFallingLeft", "<"}, {"cmdFallingRight", ">"}}};
        for (int e = 0; e < 2; ++e) {
            nudges->addWidget(NewLabel(QStringLiteral("T") + QString::number(2 * i + 1 + e),
                                       Indexed("Label2", 2 * i + e).toLatin1().constData()),
                              e, 0);
            for (int d = 0; d < 2; ++d) {
                QPushButton* b = NewButton(Indexed(buttons[e][d].first, i).toLatin1().constData(),
                                           QString::fromLatin1(buttons[e][d].second));
                nudgeButtons.push_back(b);
                nudges->addWidget(b, e, 1 + d);
                connect(b, &QPushButton::clicked, this, [this, i, e, d] {
                    if (e == 0) d == 0 ? logic.cmdRisingLeft_Click(i) : logic.cmdRisingRight_Click(i);
                    else d == 0 ? logic.cmdFallingLeft_Click(i) : logic.cmdFallingRight_Click(i);
                    Refresh();
                });
            }
        }
        QCheckBox* disable = NewCheck(Indexed("chkDisable", i).toLatin1().constData(), PWMDisableCaption(i));
        nudges->addWidget(views.Add(disable, logic.chkDisable[i]), 2, 0, 1, 3);
        rows->addLayout(nudges, i, 2);

        auto* frame = new QGroupBox;
        frame->setObjectName(Indexed("Frame1", i));
        auto* mods = new QGridLayout(frame);
        mods->setContentsMargins(ScaledPixels(4), ScaledPixels(2), ScaledPixels(4), ScaledPixels(2));
        mods->setSpacing(0);
        const QString t1 = QStringLiteral("T") + QString::number(2 * i + 1);
        const QString t2 = QStringLiteral("T") + QString::number(2 * i + 2);
        mods->addWidget(views.Add(NewCheck(Indexed("chkEnableT1Mod", i).toLatin1().constData(),
                                           QStringLiteral("Enable Modulation on ") + t1 + QStringLiteral(" Edge")),
                                  logic.chkEnableT1Mod[i]),
                        0, 0);
        chkT1Sign[i] = views.Add(NewCheck(Indexed("chkT1Sign", i).toLatin1().constData(), QString()),
                                 logic.chkT1Sign[i]);
        mods->addWidget(chkT1Sign[i], 1, 0);
        mods->addWidget(views.Add(NewCheck(Indexed("chkEnableT2Mod", i).toLatin1().constData(),
                                           QStringLiteral("Enable Modulation on ") + t2 + QStringLiteral(" Edge")),
                                  logic.chkEnableT2Mod[i]),
                        2, 0);
        chkT2Sign[i] = views.Add(NewCheck(Indexed("chkT2Sign", i).toLatin1().constData(), QString()),
                                 logic.chkT2Sign[i]);
        mods->addWidget(chkT2Sign[i], 3, 0);
        for (QCheckBox* box : frame->findChildren<QCheckBox*>()) modulationBoxes.push_back(box);
        rows->addWidget(frame, i, 3);
    }

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    QPushButton* program = NewButton("cmdProgram", QStringLiteral("Program PWM Settings"));
    QPushButton* close = NewButton("cmdCancel", QStringLiteral("Close"));
    bottom->addWidget(program);
    bottom->addWidget(close);
    connect(program, &QPushButton::clicked, this, &frmPWM::cmdProgram_Click);
    connect(close, &QPushButton::clicked, this, &frmPWM::cmdCancel_Click);

    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addLayout(rows);
    page->addStretch();
    page->addLayout(bottom);
    FitToFont();
}

void frmPWM::Form_Load() {
    SetFormSize(13470, 10575);
    logic.Form_Load();
    views.FillAll();
    Refresh();
    FitToFont();
    CenterForm();
}

void frmPWM::SetupFormAfterLoad() {
    logic.SetupFormAfterLoad(PageAddress());
    Refresh();
    FitToFont();
}

// The page may take its font only after it was built and sized (from the main window, once that
// has followed a new application font): what depends on the font is sized again then.
void frmPWM::changeEvent(QEvent* event) {
    PageWindow::changeEvent(event);
    if (event->type() == QEvent::FontChange) FitToFont();
}

void frmPWM::FitToFont() {
    // The nudge buttons are 255 twips square, and wider where their arrow would touch the edges.
    const int side = TwipsToPixels(255);
    for (QPushButton* b : nudgeButtons)
        b->setFixedSize(std::max(side, b->fontMetrics().horizontalAdvance(b->text()) + ScaledPixels(8)), side);
    // Four boxes beside a diagram of the same height: one text line each.
    for (QCheckBox* box : modulationBoxes) {
        const int indicator = box->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, box);
        box->setFixedHeight(std::max(box->fontMetrics().height(), indicator) + ScaledPixels(2));
    }
    KeepContentsUnsqueezed();
}

// Fonts differ between machines: never squeeze the diagrams and their boxes into each other. The
// boxes' captions count; a page not yet shown keeps its layouts' old sizes until told.
void frmPWM::KeepContentsUnsqueezed() {
    for (QWidget* child : findChildren<QWidget*>()) child->updateGeometry();
    for (QLayout* l : findChildren<QLayout*>()) l->invalidate();
    updateGeometry();
    QWidget* frame = parentWidget();
    if (!frame) return;
    if (frame->layout()) frame->layout()->invalidate();
    frame->resize(frame->size().expandedTo(frame->minimumSizeHint()));
}

void frmPWM::Form_Unload() { logic.Form_Unload(PageAddress()); }

bool frmPWM::SetFrequencyText(const QString& text) {
    const bool chosen = logic.SetFrequencyText(text);
    Refresh();
    return chosen;
}

void frmPWM::cmdProgram_Click() { logic.cmdProgram_Click(PageAddress()); }

void frmPWM::cmdCancel_Click() { Unload(); }

void frmPWM::mouseMoveEvent(QMouseEvent* event) {
    logic.Form_MouseMove();
    ShowPointer();
    QWidget::mouseMoveEvent(event);
}

void frmPWM::Refresh() {
    views.ShowAll();
    lblPWMFreq->setText(logic.lblPWMFreq);
    for (int i = 0; i < pwm::kOutputs; ++i) {
        chkT1Sign[i]->setText(logic.SignCaption(i, 1));
        chkT2Sign[i]->setText(logic.SignCaption(i, 3));
        ShowOutput(i);
    }
    ShowPointer();
}

void frmPWM::ShowOutput(int i) { pctPWM[i]->SetScene(pwm::BuildScene(logic.View(i))); }

void frmPWM::ShowPointer() {
    if (logic.MousePointer == shownPointer) return;
    shownPointer = logic.MousePointer;
    if (shownPointer == pwm::Pointer::SizeWE)
        setCursor(Qt::SizeHorCursor);
    else
        unsetCursor();
}
