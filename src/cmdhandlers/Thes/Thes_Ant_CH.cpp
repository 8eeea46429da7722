#include "cmdhandlers/Thes/Thes_Ant_CH.h"

#include "kernel/CommandRegistry.h"

VERB_REGISTER_COMMAND(Program::Orthd, "ants", Thes_Ant_CH);
