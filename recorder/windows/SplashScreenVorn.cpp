#include "SplashScreenVorn.h"

#include "JpegImage.h"
#include "WinColor.h"
#include "recorder/RecorderStrings.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

namespace {

constexpr int kStatusHeight = 18;
constexpr rm::WinColor kStatusText = 0xFFFFFF;
constexpr rm::WinColor kStatusBackground = 0x6F1628;

} // namespace

TSplashScreenVorn::TSplashScreenVorn(const QByteArray& picture, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      background_(new QLabel(this)),
      status_(new QLabel(this)) {
    setObjectName(QStringLiteral("SplashScreenVorn"));
    setWindowTitle(QString::fromUtf8(RecorderStrings::SplashCaption));
    setFixedSize(kWidth, kHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - rect().center());
    }

    background_->setObjectName(QStringLiteral("SplashBackground"));
    background_->setGeometry(0, 0, kWidth, kHeight);
    const QImage image = rm::decodeJpeg(picture);
    if (!image.isNull())
        background_->setPixmap(QPixmap::fromImage(image.scaled(kWidth, kHeight)));
    background_->setVisible(true);

    status_->setObjectName(QStringLiteral("SplashStatusLabel"));
    status_->setGeometry(0, kHeight - kStatusHeight, kWidth, kStatusHeight);
    status_->setAlignment(Qt::AlignCenter);
    status_->setAutoFillBackground(true);
    QPalette palette = status_->palette();
    palette.setColor(QPalette::Window, rm::toQColor(kStatusBackground));
    palette.setColor(QPalette::WindowText, rm::toQColor(kStatusText));
    status_->setPalette(palette);
}

// The picture is compiled into the window library, whose resources the
// linker keeps only when named.
static void initWindowResources() { Q_INIT_RESOURCE(RecorderWindow); }

QByteArray TSplashScreenVorn::defaultPicture() {
    initWindowResources();
    QFile file(QStringLiteral(":/recorder/Splash.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TSplashScreenVorn::SetStatus(const QString& text) {
    status_->setText(text);
    paintNow();
}

// A window just shown is only on the screen once the system has mapped it,
// so the pending window events are handled before painting.
void TSplashScreenVorn::paintNow() {
    if (!isVisible())
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
}
