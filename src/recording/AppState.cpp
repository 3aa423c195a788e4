#include "recording/AppState.h"

namespace {
AppState g_defaultState;
AppState* g_state = &g_defaultState;
} // namespace

AppState& TheAppState()
{
    return *g_state;
}

void SetAppState(AppState* state)
{
    g_state = state ? state : &g_defaultState;
}
