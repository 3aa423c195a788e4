#pragma once

#include <glib-object.h>

// G_DEFINE_TYPE casts our init functions the C way; the warning is silenced for the
// macro's expansion only.
#define VELA_DEFINE_TYPE(TypeName, type_name, PARENT_TYPE)                                                            \
    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wold-style-cast\"")                              \
        G_DEFINE_TYPE(TypeName, type_name, PARENT_TYPE) _Pragma("GCC diagnostic pop")
