#pragma once

#include <cstdint>

// 32-bit status codes: negative is failure. A step that fails reports its own
// message and returns E_ABORT, so callers decide what to do next without
// reporting again.
using Status = std::int32_t;

inline constexpr Status S_OK = 0;
inline constexpr Status S_FALSE = 1;
inline constexpr Status E_ABORT = static_cast<Status>(0x80004004u);
inline constexpr Status E_NOTIMPL = static_cast<Status>(0x80004001u);
inline constexpr Status E_UNEXPECTED = static_cast<Status>(0x8000FFFFu);
inline constexpr Status E_POINTER = static_cast<Status>(0x80004003u);
inline constexpr Status E_FAIL = static_cast<Status>(0x80004005u);
inline constexpr Status E_OUTOFMEMORY = static_cast<Status>(0x8007000Eu);

inline constexpr bool Succeeded(Status s) { return s >= 0; }
inline constexpr bool Failed(Status s) { return s < 0; }
