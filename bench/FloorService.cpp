#include "FloorService.h"

#include <signal.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace zel::bench {

namespace {

// Reads each call as the server does, value by value, and answers each with false.
int run(sd_bus_message* call, void*, sd_bus_error*) {
    int calls = 0;
    int result = sd_bus_message_enter_container(call, 'a', "(sava{sv})");
    while (result >= 0 && (result = sd_bus_message_enter_container(call, 'r', "sava{sv}")) > 0) {
        result = sd_bus_message_skip(call, "sava{sv}");
        if (result >= 0) result = sd_bus_message_exit_container(call);
        ++calls;
    }
    if (result < 0) return result;
    sd_bus_message* reply = nullptr;
    result = sd_bus_message_new_method_return(call, &reply);
    if (result >= 0) result = sd_bus_message_open_container(reply, 'a', "v");
    for (int i = 0; result >= 0 && i < calls; ++i) result = sd_bus_message_append(reply, "v", "b", 0);
    if (result >= 0) result = sd_bus_message_close_container(reply);
    if (result >= 0) result = sd_bus_message_append(reply, "is", -1, "");
    if (result >= 0) result = sd_bus_send(nullptr, reply, nullptr);
    sd_bus_message_unref(reply);
    return result;
}

const sd_bus_vtable Vtable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Run", "a(sava{sv})", "avis", run, 0),
    SD_BUS_VTABLE_END,
};

// The child: serves until it is stopped; says "ready" on the pipe once the name is taken.
[[noreturn]] void serve(int ready) {
    sd_bus* bus = nullptr;
    sd_bus_slot* slot = nullptr;
    if (sd_bus_open_user(&bus) < 0 ||
        sd_bus_add_object_vtable(bus, &slot, FloorService::FloorPath, "ZelPrintDemo.Batch", Vtable,
                                 nullptr) < 0 ||
        sd_bus_request_name(bus, FloorService::FloorName, 0) < 0)
        _exit(1);
    if (write(ready, "r", 1) != 1) _exit(1);
    close(ready);
    for (;;) {
        const int result = sd_bus_process(bus, nullptr);
        if (result < 0) _exit(1);
        if (result == 0 && sd_bus_wait(bus, UINT64_MAX) < 0) _exit(1);
    }
}

}  // namespace

FloorService::FloorService() {
    int pipe_[2];
    if (pipe(pipe_) != 0) throw std::runtime_error("floor: no pipe");
    child_ = fork();
    if (child_ < 0) throw std::runtime_error("floor: cannot fork");
    if (child_ == 0) {
        close(pipe_[0]);
        serve(pipe_[1]);
    }
    close(pipe_[1]);
    char said = 0;
    const bool ready = read(pipe_[0], &said, 1) == 1;
    close(pipe_[0]);
    if (!ready) {
        waitpid(child_, nullptr, 0);
        throw std::runtime_error("floor: the service did not start");
    }
}

FloorService::~FloorService() {
    kill(child_, SIGTERM);
    waitpid(child_, nullptr, 0);
}

}  // namespace zel::bench
