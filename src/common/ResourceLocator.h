#pragma once

#include <string>

// Read-only resources (icons, character sets) are looked up in the process directory
// first, then in the installed data folder, so an installed program runs from anywhere.
// Returns the first path that exists, or the process-directory path when neither does.
std::string ResourcePath(const std::string& relativePath);
