#pragma once

#include "app/CommandLine.h"
#include "common/Status.h"

// `vela-video --list-devices`: enumerates the devices and codecs as start-up does (with the
// simulator when the command line asks for it) and prints them on standard output. Needs
// no display and writes no file; what goes wrong is on standard error.
Status ListDevices(const CommandLine& commandLine);
