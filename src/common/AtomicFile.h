#pragma once

#include <string>
#include <string_view>

// Replaces the file at path with bytes: the bytes go to a new temporary file in the
// same folder, which is flushed to the disk and then renamed over the old file. A crash,
// a full disk or any write error leaves the old file as it was and no temporary file
// behind. Every write is checked to the last byte: a short write is a failure.
// On failure *error holds the reason.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error = nullptr);
