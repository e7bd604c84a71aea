// What the updater asks of the operating system about its own process.
#pragma once

#include <string>

namespace torvik::platform {

// The folder of the running executable, with a trailing '/'.
std::string ApplicationFolder();

// The folder that holds the kit's regedit program, with a trailing '/': TORVIK_WINDIR
// when set, otherwise the application folder.
std::string WindowsFolder();

// True when a graphical display can be reached (X11 or Wayland).
bool DisplayAvailable();

// The value of an environment variable, or "" when it is not set.
std::string Environment(const char* name);

bool FileExists(const std::string& path);

}  // namespace torvik::platform
