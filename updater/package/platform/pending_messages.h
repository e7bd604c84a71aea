// Long package work lets the program's window messages through now and then, so its
// windows stay live and their buttons can be pressed.
#pragma once

namespace torvik::package {

// Processes the application's pending events; nothing when the program has no
// application object (tools, tests).
void ProcessPendingMessages();

}  // namespace torvik::package
