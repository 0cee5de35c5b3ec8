#pragma once

namespace zel {

// zelprint's commands but `print` (serve, interface, help, version, a usage error): one command,
// one job. Options are parsed before the application object exists, since the display platform
// must be chosen first.
int runCommand(int argc, char** argv);

}  // namespace zel
