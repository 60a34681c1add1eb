// SIGTERM and SIGHUP (an interface or a terminal closing) end the engine as
// QUIT does: the teach table is saved, and the process exits with status 0.
#pragma once

// Installs the handlers; start-up calls it once.
void installTerminationHandlers();
