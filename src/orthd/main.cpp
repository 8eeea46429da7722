// orthd.cgi: the spell service, started by the web server once per request.
#include "orthd/OrthdProgram.h"

int main(int argc, char** argv) { return ProgramMain(orthd::Info(), argc, argv); }
