// Script mode of the demo server: a test decides what is sent and reads back
// everything the client sent. The protocol is described in script_mode.cpp
// and in README.md.
#ifndef OMBRITH_DEMO_SERVER_SCRIPT_MODE_H
#define OMBRITH_DEMO_SERVER_SCRIPT_MODE_H

#include "tls_server.h"

// Runs the script mode on an open server until "quit" or the end of input.
int run_script_mode(demo_tls_server &server);

#endif
