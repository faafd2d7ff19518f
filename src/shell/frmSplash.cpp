#include "shell/frmSplash.h"

#include "core/run_state.h"
#include "core/twips.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>

namespace {

// The chip drawn for the splash: a package with pins and the product mark.
class ChipPicture : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF body(20, 20, width() - 40, height() - 40);
        p.setPen(QPen(QColor(160, 160, 160), 2));
        for (int i = 0; i < 8; ++i) {
            const double x = body.left() + (i + 0.5) * body.width() / 8;
            const double y = body.top() + (i + 0.5) * body.height() / 8;
            p.drawLine(QPointF(x, 6), QPointF(x, body.top()));
            p.drawLine(QPointF(x, body.bottom()), QPointF(x, height() - 6));
            p.drawLine(QPointF(6, y), QPointF(body.left(), y));
            p.drawLine(QPointF(body.right(), y), QPointF(width() - 6, y));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 48));
        p.drawRoundedRect(body, 6, 6);
        p.setPen(QColor(230, 230, 230));
        QFont f = font();
        f.setBold(true);
        f.setPointSize(14);
        p.setFont(f);
        p.drawText(body, Qt::AlignCenter, QStringLiteral("ZVC7140"));
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
    big.setPointSize(16);
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
    const QRect frames[] = {QRect(0, 0, width(), 2), QRect(0, height() - 2, width(), 2), QRect(0, 0, 2, height()),
                            QRect(width() - 2, 0, 2, height())};
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
