#pragma once
// The service host answered that the file the relay holds was not modified (status 304). The
// relay's cache serves its copy then; anywhere else it is answered as an error.
#include "kernel/CommandHandler.h"

class EFileNotModified : public CommandHandler::exception {
  public:
    using CommandHandler::exception::exception;
};
