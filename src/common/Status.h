#pragma once

#include <cstdint>

// The result of an operation that can fail. A step that fails reports its own message
// and returns Status::Aborted, so callers decide what to do next without reporting again.
// [[nodiscard]]: a caller either acts on a result or says in code that it passes it on.
// The values are the 32-bit codes that messages print; negative is failure.
enum class [[nodiscard]] Status : std::int32_t {
    Ok = 0,
    Partial = 1,                                                      // done, with something left out
    NotRunning = 0x00040257,                                          // nothing built to run
    Aborted = static_cast<std::int32_t>(0x80004004u),                 // failed and already reported
    NotImplemented = static_cast<std::int32_t>(0x80004001u),          // build again with the analyses off
    Unexpected = static_cast<std::int32_t>(0x8000FFFFu),
    NullPointer = static_cast<std::int32_t>(0x80004003u),
    Failed = static_cast<std::int32_t>(0x80004005u),
    OutOfMemory = static_cast<std::int32_t>(0x8007000Eu),
    InvalidArgument = static_cast<std::int32_t>(0x80070057u),
};

inline constexpr std::int32_t StatusCode(Status s) { return static_cast<std::int32_t>(s); }
inline constexpr bool Succeeded(Status s) { return StatusCode(s) >= 0; }
inline constexpr bool Failed(Status s) { return StatusCode(s) < 0; }
