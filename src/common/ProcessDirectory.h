#pragma once

#include <cstddef>
#include <string>

// The longest process directory, "/" included, that the program's paths are made to hold
// (recording names, folder options and log lines are sized from it), in characters.
inline constexpr std::size_t kProcessDirectoryCapacity = 511;

// The current directory of the process followed by "/" (not doubled when it already
// ends in one); empty when the directory cannot be read. Never cut: a cut path would
// name another folder. Every relative path of the program is relative to it. UTF-8.
std::string GetProcessDirectory();

// Why the program cannot work from its current directory (it cannot be read, or it is
// longer than kProcessDirectoryCapacity); empty when it can.
std::string ProcessDirectoryProblem();
