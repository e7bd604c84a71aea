// What the start-up sequence asks of the application object that runs it.
#pragma once

#include <exception>
#include <functional>

namespace torvik {

class ApplicationControl {
public:
    using ErrorHandler = std::function<void(const std::exception&)>;

    virtual ~ApplicationControl() = default;

    // Asks the application to leave its message loop: the loop returns at once.
    virtual void Terminate() = 0;
    // Closes the splash window, the main window: that ends the program.
    virtual void CloseMainWindow() = 0;
    // Hides the splash window; the program goes on.
    virtual void HideMainWindow() = 0;
    // The application-wide handler of errors that nothing else catches.
    virtual void SetErrorHandler(ErrorHandler handler) = 0;
};

}  // namespace torvik
