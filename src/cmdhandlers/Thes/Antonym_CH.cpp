#include "cmdhandlers/Thes/Antonym_CH.h"

#include "kernel/CommandRegistry.h"

VERB_REGISTER_COMMAND(Program::Orthd, "getants", Antonym_CH);
