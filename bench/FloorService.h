#pragma once

#include <sys/types.h>

namespace zel::bench {

// What a batch costs the bus alone: a process of its own on the session bus, named FloorName,
// whose ZelPrintDemo.Batch.Run at FloorPath reads every call of the batch (its name, arguments
// and options) and answers as the print server does for AddTekst calls (an `av` of one false per
// call, then no failed call), doing nothing else. Started when made, stopped when destroyed.
class FloorService {
public:
    static constexpr const char* FloorName = "ZelPrintDemo.BenchFloor";
    static constexpr const char* FloorPath = "/floor";

    FloorService();  // returns once the name is taken
    ~FloorService();
    FloorService(const FloorService&) = delete;
    FloorService& operator=(const FloorService&) = delete;

private:
    pid_t child_ = -1;
};

}  // namespace zel::bench
