// The program's version, in its version resource, its About box and --version. A build of the
// same program as a newer release (the end-to-end test of the update) passes
// -DPELTO_VERSION_BUILD=N.
#pragma once

#ifndef PELTO_VERSION_BUILD
#define PELTO_VERSION_BUILD 1
#endif

#define PELTO_VERSION_STRINGIZE_(x) #x
#define PELTO_VERSION_STRINGIZE(x) PELTO_VERSION_STRINGIZE_(x)
#define PELTO_VERSION_TEXT "2.1.0." PELTO_VERSION_STRINGIZE(PELTO_VERSION_BUILD)
