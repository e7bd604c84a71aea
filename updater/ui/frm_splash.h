// TfrmSplash: the borderless splash picture, the updater's main window for the whole
// run. Closing it ends the program.
#pragma once

#include <QImage>
#include <QWidget>
#include <string>

#include "ui/panel.h"

namespace torvik {

// Image1: the picture centred in its area, scaled to fit with its proportions kept.
class SplashPicture : public QWidget {
public:
    explicit SplashPicture(QWidget* parent) : QWidget(parent) {}
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

class TfrmSplash : public QWidget {
    Q_OBJECT

public:
    static constexpr int kDesignWidth = 496;
    static constexpr int kDesignHeight = 264;
    static constexpr const char* kPictureFile = "splash.jpg";

    // applicationFolder ends with '/'; a splash.jpg there replaces the built-in picture.
    explicit TfrmSplash(const std::string& applicationFolder);

    Panel* Panel1;
    SplashPicture* Image1;

signals:
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate(const std::string& applicationFolder);
};

}  // namespace torvik
