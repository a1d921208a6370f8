#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

#include <memory>

namespace Ui {
class TAboutForm;
}
class QLabel;

// "About": the program version, the maker's web page and support address as
// links that open in the desktop's programs (the box stays open). The
// recorder's box adds the USB driver version and the device serial number;
// the viewer's has neither and shows its picture behind the texts.
class TAboutForm : public QDialog {
    Q_OBJECT

public:
    enum class Variant { Recorder, Viewer };

    explicit TAboutForm(Variant variant, QWidget* parent = nullptr);
    ~TAboutForm() override;

    void SetSoftwareVersion(const QString& text);
    // Recorder only; the viewer's box does not show them.
    void SetUSBDriverVersion(const QString& text);
    void SetDeviceSerialNumber(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPicture(QLabel* label, const QString& resource);

    std::unique_ptr<Ui::TAboutForm> ui_;
};
