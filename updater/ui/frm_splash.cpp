#include "ui/frm_splash.h"

#include <QCloseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "platform/process.h"
#include "ui/design_fonts.h"
#include "ui/window_placement.h"

// The built-in picture lives in the resources of a static library, which are
// registered by hand.
static void RegisterBuiltInPictures()
{
    Q_INIT_RESOURCE(ui);
}

namespace torvik {

void SplashPicture::SetPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void SplashPicture::paintEvent(QPaintEvent*)
{
    if (picture_.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize fitted = picture_.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    painter.drawImage(target, picture_);
}

TfrmSplash::TfrmSplash(const std::string& applicationFolder)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      Panel1(new Panel(this, Panel::Bevel::Space, 2)),
      Image1(new SplashPicture(Panel1))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(DefaultWindowFont());
    auto* windowLayout = new QVBoxLayout(this);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    windowLayout->addWidget(Panel1);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);  // the panel keeps its bevel clear itself
    panelLayout->addWidget(Image1);
    RegisterBuiltInPictures();
    Image1->SetPicture(QImage(QStringLiteral(":/torvik/splash.jpg")));
    resize(kDesignWidth, kDesignHeight);
    FormCreate(applicationFolder);
    CentreOnScreen(*this);
}

void TfrmSplash::FormCreate(const std::string& applicationFolder)
{
    const std::string path = applicationFolder + kPictureFile;
    if (!platform::FileExists(path)) {
        return;
    }
    // A picture that cannot be read is passed over in silence: the built-in one stays.
    QImage picture;
    if (picture.load(QString::fromStdString(path)) && !picture.isNull()) {
        Image1->SetPicture(picture);
        resize(picture.size());
    }
}

void TfrmSplash::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit Closed();
}

}  // namespace torvik
