#pragma once

namespace zel {

struct ServeOptions {
    int lingerSeconds = 10;  // how long the server stays after its last object is released
    bool offscreen = false;  // run without a display even when one is there
};

// `zelprint serve`: the D-Bus service until it lingers out or is terminated. Returns the exit
// code; a failure to start is one line on standard error.
int serve(int argc, char** argv, const ServeOptions& options);

}  // namespace zel
