#include "cmdhandlers/Thes/Synonym_CH.h"

#include "kernel/CommandRegistry.h"

VERB_REGISTER_COMMAND(Program::Orthd, "getthes", Synonym_CH);
