// ferrix.cgi: the relay, started by the customer's web server once per request.
#include "ferrix/FerrixProgram.h"

int main(int argc, char** argv) { return ProgramMain(ferrix::Info(), argc, argv); }
