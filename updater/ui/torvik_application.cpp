#include "ui/torvik_application.h"

#include "ui/frm_splash.h"

namespace torvik {

TorvikApplication::TorvikApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("ExecTorvik"));
    setQuitOnLastWindowClosed(false);
}

void TorvikApplication::SetMainWindow(TfrmSplash* window)
{
    mainWindow_ = window;
    connect(window, &TfrmSplash::Closed, this, [this] { Terminate(); });
}

void TorvikApplication::Terminate()
{
    terminated_ = true;
    quit();
}

void TorvikApplication::CloseMainWindow()
{
    if (mainWindow_ != nullptr) {
        mainWindow_->close();
    }
}

void TorvikApplication::HideMainWindow()
{
    if (mainWindow_ != nullptr) {
        mainWindow_->hide();
    }
}

void TorvikApplication::SetErrorHandler(ErrorHandler handler)
{
    errorHandler_ = std::move(handler);
}

int TorvikApplication::Run()
{
    if (terminated_ || mainWindow_ == nullptr) {
        return 0;
    }
    return exec();
}

bool TorvikApplication::notify(QObject* receiver, QEvent* event)
{
    // Errors must not cross Qt's event dispatch; they go to the installed handler.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        if (errorHandler_) {
            errorHandler_(error);
        }
    } catch (...) {
    }
    return false;
}

}  // namespace torvik
