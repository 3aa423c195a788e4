#pragma once

#include <string>

// The current directory of the process followed by "/" (not doubled when it already
// ends in one), cut to 511 characters; empty when the directory cannot be read.
// Every relative path of the program is relative to it. UTF-8.
std::string GetProcessDirectory();
