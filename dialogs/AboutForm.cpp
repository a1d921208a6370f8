#include "AboutForm.h"

#include "DesktopLink.h"
#include "JpegImage.h"
#include "dialogs/DialogStrings.h"
#include "ui_AboutForm.h"

#include <QFile>
#include <QMouseEvent>
#include <QPixmap>

// The pictures live in this static library's resources, which the linker
// keeps only when something names them.
static void loadDialogResources() {
    static const bool loaded = [] {
        Q_INIT_RESOURCE(dialogs);
        return true;
    }();
    (void)loaded;
}

TAboutForm::TAboutForm(Variant variant, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TAboutForm>()) {
    loadDialogResources();
    ui_->setupUi(this);
    setWindowTitle(DialogStrings::AboutCaption);
    setFixedSize(size());

    ui_->Find->setText(DialogStrings::AboutFindUsAt);
    ui_->Contact->setText(DialogStrings::AboutContactUsAt);
    ui_->SoftwareVersionLabel->setText(DialogStrings::AboutSoftwareVersion);
    ui_->USBDriverVersionLabel->setText(DialogStrings::AboutUSBDriverVersion);
    ui_->DeviceSNCaptionLabel->setText(DialogStrings::AboutDeviceSN);
    ui_->CompanySite->setText(DialogStrings::CompanySiteText);
    ui_->CompanyMail->setText(DialogStrings::CompanyMailText);
    ui_->DialogOK->setText(DialogStrings::AboutOK);
    connect(ui_->DialogOK, &QPushButton::clicked, this, &QDialog::accept);

    ui_->CompanySite->installEventFilter(this);
    ui_->CompanyMail->installEventFilter(this);

    const bool recorder = variant == Variant::Recorder;
    for (QLabel* label : {ui_->USBDriverVersionLabel, ui_->USBObtainedVersionLabel, ui_->DeviceSNCaptionLabel,
                          ui_->DeviceSerialNumberLabel})
        label->setVisible(recorder);
    if (!recorder) {
        showPicture(ui_->BackgroundImage, QStringLiteral(":/dialogs/AboutBackground.jpg"));
        showPicture(ui_->BackgroundImageLumbra, QStringLiteral(":/dialogs/AboutLumbra.jpg"));
        ui_->BackgroundImage->setVisible(true);
        ui_->BackgroundImageLumbra->setVisible(false);
    }
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::SetSoftwareVersion(const QString& text) { ui_->DeviceObtainedVersionLabel->setText(text); }

void TAboutForm::SetUSBDriverVersion(const QString& text) { ui_->USBObtainedVersionLabel->setText(text); }

void TAboutForm::SetDeviceSerialNumber(const QString& text) { ui_->DeviceSerialNumberLabel->setText(text); }

// A click on either link opens it, or says that nothing on the machine can.
bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* label = static_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
            if (watched == ui_->CompanySite)
                rm::openOrTell(QUrl(DialogStrings::CompanySiteAddress));
            else if (watched == ui_->CompanyMail)
                rm::openOrTell(QUrl(DialogStrings::CompanyMailAddress));
        }
    }
    return QDialog::eventFilter(watched, event);
}

// A picture that does not decode leaves its place empty.
void TAboutForm::showPicture(QLabel* label, const QString& resource) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QImage picture = rm::decodeJpeg(file.readAll());
    if (!picture.isNull())
        label->setPixmap(QPixmap::fromImage(picture));
}
