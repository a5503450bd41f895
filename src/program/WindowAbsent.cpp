// The program's window where this build has none yet (Windows): every start without arguments
// explains the batch run instead.
#include "window/WindowMain.h"

namespace kv::window {

bool DisplayAvailable() { return false; }

int RunWindow(int&, char**) { return 2; }

}  // namespace kv::window
