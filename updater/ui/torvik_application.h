// The application object of ExecTorvik: Qt's application with the splash window as its
// main window, termination on request, and one handler for errors that escape the
// handling of a window event.
#pragma once

#include <QApplication>
#include <QPointer>

#include "startup/application_control.h"
#include "ui/frm_splash.h"

namespace torvik {

class TorvikApplication : public QApplication, public ApplicationControl {
public:
    TorvikApplication(int& argc, char** argv);

    // Closing this window ends the program.
    void SetMainWindow(TfrmSplash* window);
    TfrmSplash* MainWindow() const { return mainWindow_; }

    void Terminate() override;
    void CloseMainWindow() override;
    void HideMainWindow() override;
    void SetErrorHandler(ErrorHandler handler) override;
    bool Terminated() const { return terminated_; }

    // The message loop: returns at once when termination was requested or the main
    // window is gone, otherwise when the main window closes.
    int Run();

    bool notify(QObject* receiver, QEvent* event) override;

private:
    QPointer<TfrmSplash> mainWindow_;
    bool terminated_ = false;
    ErrorHandler errorHandler_;
};

}  // namespace torvik
