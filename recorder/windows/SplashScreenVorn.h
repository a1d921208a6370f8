#pragma once

#include <QByteArray>
#include <QWidget>

class QLabel;

// The window shown while the recorder starts: a borderless 390 x 265 picture,
// centred on the screen, with a status line along its bottom. It is an
// ordinary window, never kept above others, so the device dialogs of the
// start-up stay in front of it.
class TSplashScreenVorn : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 390;
    static constexpr int kHeight = 265;

    // `picture`: the JPEG background; a picture that does not decode leaves
    // the background plain.
    explicit TSplashScreenVorn(const QByteArray& picture = defaultPicture(), QWidget* parent = nullptr);

    // Sets the status line and paints the window at once.
    void SetStatus(const QString& text);

    QLabel* SplashBackground() const { return background_; }
    QLabel* SplashStatusLabel() const { return status_; }

    // The recorder's own splash picture (a resource of the program).
    static QByteArray defaultPicture();

private:
    void paintNow();

    QLabel* background_;
    QLabel* status_;
};
