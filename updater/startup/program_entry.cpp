// ExecTorvik: the component updater that users start instead of the application.
//
//   ExecTorvik AppName InitParam [P] [-p MULT]
//
// Without a display, or with TORVIK_UI=console, message boxes are lines on standard
// error and questions take their answers from TORVIK_ANSWERS.

#include <QCoreApplication>
#include <QEvent>
#include <cstdlib>
#include <memory>

#include "platform/process.h"
#include "startup/dtm_global.h"
#include "ui/console_interaction.h"
#include "ui/frm_progress_bar.h"
#include "ui/frm_splash.h"
#include "ui/qt_interaction.h"
#include "ui/torvik_application.h"

namespace {

// Qt's own diagnostics would mix with the console's message lines; on the console they
// are kept only when asked for, or when they are errors.
void ConsoleQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    static const bool wanted = !torvik::platform::Environment("TORVIK_QT_MESSAGES").empty();
    if (wanted || type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "QT: %s\n", message.toLocal8Bit().constData());
    }
}

// The steps of the run after the error handler is installed. The connections, the
// version check, the transfer and the launch are not yet part of this program.
std::vector<torvik::TdtmGlobal::Step> LaterSteps()
{
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace torvik;

    // The updater's own arguments are read as given; Qt sees none of them, so that an
    // argument such as "-style" is never taken as a Qt option.
    const ProgramArguments arguments(argc, argv);
    const bool display = platform::DisplayAvailable();
    const bool console = !display || platform::Environment("TORVIK_UI") == "console";
    if (!display && platform::Environment("QT_QPA_PLATFORM").empty()) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    if (console) {
        qInstallMessageHandler(ConsoleQtMessages);
    }
    int qtArgc = 1;
    TorvikApplication application(qtArgc, argv);

    std::unique_ptr<UserInteraction> user;
    if (console) {
        user = std::make_unique<ConsoleInteraction>(platform::Environment("TORVIK_ANSWERS"), stderr);
    } else {
        user = std::make_unique<QtInteraction>();
    }
    GlobalState state;
    std::unique_ptr<TdtmGlobal> dtmGlobal;
    try {
        auto* splash = new TfrmSplash(platform::ApplicationFolder());
        application.SetMainWindow(splash);
        splash->setWindowTitle(QStringLiteral("ExecTorvik"));
        splash->show();
        QCoreApplication::processEvents();

        // The progress window lives exactly as long as the start-up sequence.
        const auto progress = std::make_unique<TfrmProgressBar>(state, *user);
        const StartupEnvironment environment{state, arguments, *user, application, platform::ApplicationFolder()};
        dtmGlobal = std::make_unique<TdtmGlobal>(environment, LaterSteps());
    } catch (...) {
        // Errors that escape the creation of the windows and the module end nothing:
        // the message loop still runs.
    }

    const int result = application.Run();
    // Windows closed during the sequence wait for the loop to be freed.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete application.MainWindow();
    return result;
}
