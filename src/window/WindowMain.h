#pragma once
// The program with its window: kvteso without arguments.
#include <iosfwd>

namespace kv::window {

// True when there is a screen to open the window on ($DISPLAY or $WAYLAND_DISPLAY, and no
// QT_QPA_PLATFORM naming a platform nobody can see, such as offscreen).
bool DisplayAvailable();

// Opens the window, runs it until the program ends and returns the exit code. With
// KVTESO_SCREENSHOT=FILE.png the window saves a picture of itself once shown and leaves.
int RunWindow(int& argc, char** argv);

}  // namespace kv::window
