#include "shell/frmSplash.h"

#include "core/run_state.h"
#include "core/twips.h"

#include "shell/painted_layout.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>

namespace {

// The chip drawn for the splash: a package with pins and the product mark, in pixels of the
// design font grown by the layout scale.
class ChipPicture : public QWidget, public PaintedLayout {
public:
    using QWidget::QWidget;

    QList<PaintedCaption> Captions() const override {
        return {{kMark, QFontMetricsF(MarkFont()).boundingRect(Body(), Qt::AlignCenter, kMark)}};
    }
    QList<QLineF> Lines() const override { return EdgesOf(QPolygonF(Body())); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const double k = LayoutScale();
        const QRectF body = Body();
        p.setPen(QPen(QColor(160, 160, 160), 2 * k));
        for (int i = 0; i < 8; ++i) {
            const double x = body.left() + (i + 0.5) * body.width() / 8;
            const double y = body.top() + (i + 0.5) * body.height() / 8;
            p.drawLine(QPointF(x, 6 * k), QPointF(x, body.top()));
            p.drawLine(QPointF(x, body.bottom()), QPointF(x, height() - 6 * k));
            p.drawLine(QPointF(6 * k, y), QPointF(body.left(), y));
            p.drawLine(QPointF(body.right(), y), QPointF(width() - 6 * k, y));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 48));
        p.drawRoundedRect(body, 6 * k, 6 * k);
        p.setPen(QColor(230, 230, 230));
        p.setFont(MarkFont());
        p.drawText(body, Qt::AlignCenter, kMark);
    }

private:
    static inline const QString kMark = QStringLiteral("ZVC7140");
    QRectF Body() const {
        const double margin = 20 * LayoutScale();
        return QRectF(margin, margin, width() - 2 * margin, height() - 2 * margin);
    }
    QFont MarkFont() const {
        QFont f = font();
        f.setBold(true);
        f.setPointSizeF(14 * LayoutScale());
        return f;
    }
};

}  // namespace

frmSplash::frmSplash() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(TwipsToPixels(7500), TwipsToPixels(4500));
    move(TwipsToPixels(2000), TwipsToPixels(2000));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    auto* image1 = new ChipPicture(this);
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setGeometry(TwipsToPixels(300), TwipsToPixels(300), TwipsToPixels(2400), TwipsToPixels(2400));

    lblProductName = new QLabel(kAppTitle, this);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont big = font();
    big.setPointSizeF(16 * LayoutScale());
    big.setBold(true);
    lblProductName->setFont(big);
    lblProductName->setWordWrap(true);
    lblProductName->setGeometry(TwipsToPixels(3000), TwipsToPixels(400), TwipsToPixels(4200), TwipsToPixels(1000));

    lblVersion = new QLabel(QStringLiteral("Version %1.%2.%3").arg(3).arg(0).arg(3), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setGeometry(TwipsToPixels(3000), TwipsToPixels(1500), TwipsToPixels(4200), TwipsToPixels(300));

    lblPlatform = new QLabel(QStringLiteral("Windows XP/2000"), this);
    lblPlatform->setObjectName(QStringLiteral("lblPlatform"));
    lblPlatform->setGeometry(TwipsToPixels(3000), TwipsToPixels(1850), TwipsToPixels(4200), TwipsToPixels(300));

    auto* image2 = new QLabel(this);
    image2->setObjectName(QStringLiteral("Image2"));
    image2->setGeometry(TwipsToPixels(3000), TwipsToPixels(2300), TwipsToPixels(4200), TwipsToPixels(60));
    image2->setStyleSheet(QStringLiteral("background-color: rgb(0,0,192);"));

    lblProgInfo = new QLabel(this);
    lblProgInfo->setObjectName(QStringLiteral("lblProgInfo"));
    lblProgInfo->setGeometry(TwipsToPixels(1000), TwipsToPixels(3300), TwipsToPixels(5415), TwipsToPixels(300));
    lblProgInfo->hide();

    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setStyleSheet(QStringLiteral("background-color: rgb(0,0,192);"));
    lblProgress->setGeometry(TwipsToPixels(1000), TwipsToPixels(3700), TwipsToPixels(5415), TwipsToPixels(255));
    lblProgress->hide();

    // The frame of four lines around the window.
    const char* lines[] = {"Line1_0", "Line1_1", "Line1_2", "Line1_3"};
    const int edge = ScaledPixels(2);
    const QRect frames[] = {QRect(0, 0, width(), edge), QRect(0, height() - edge, width(), edge), QRect(0, 0, edge, height()),
                            QRect(width() - edge, 0, edge, height())};
    for (int i = 0; i < 4; ++i) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(lines[i]));
        l->setGeometry(frames[i]);
        l->setStyleSheet(QStringLiteral("background-color: rgb(0,0,128);"));
    }
}

void frmSplash::SetProgressWidth(int twips) {
    lblProgress->resize(TwipsToPixels(twips), lblProgress->height());
    lblProgress->setProperty("twipsWidth", twips);
}

void frmSplash::SetStatus(const QString& text) {
    lblProgInfo->setText(text);
    lblProgInfo->repaint();
}

void frmSplash::ShowProgress() {
    lblProgInfo->show();
    lblProgress->show();
}
