#include "cmdhandlers/Thes/Thes_CH.h"

#include "kernel/CommandRegistry.h"

VERB_REGISTER_COMMAND(Program::Orthd, "thes", Thes_CH);
