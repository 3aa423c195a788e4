#pragma once

#include <string>

// Read-only resources (icons, character sets) are looked up in the process directory
// first, then in share/vela-video beside the program's bin folder, then in the
// installed data folder, so the program runs from any directory.
// Returns the first path that exists, or the process-directory path when neither does.
std::string ResourcePath(const std::string& relativePath);
