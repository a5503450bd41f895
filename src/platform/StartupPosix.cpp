#include "platform/Startup.h"

namespace kv::platform {

void PrepareProcess() {}

const char* const kNoWindowReason = "no display to open the window on ($DISPLAY or $WAYLAND_DISPLAY)";

}  // namespace kv::platform
