#pragma once
// One client connection while the server's reading loop holds it: its socket, the request
// being read, and its time limits (milliseconds of the steady clock).
#include <cstddef>

#include "net/RequestReader.h"
#include "net/UniqueFd.h"

struct Connection {
    enum class State {
        kReading,   // the request is arriving
        kDraining,  // refused: reading what the client still sends, so it sees the answer
        kDone,      // handed to a worker, or to be closed
    };

    UniqueFd fd;
    RequestReader reader;
    State state = State::kReading;
    long long acceptedMs = 0;
    long long lastDataMs = 0;  // when bytes last arrived
    long long deadlineMs = 0;  // the header's, then the body's
    long long drainEndMs = 0;
    size_t drained = 0;
    size_t drainLimit = 0;
    size_t reserved = 0;  // bytes reserved in the in-flight budget
};
