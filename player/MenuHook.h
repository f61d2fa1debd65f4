// The thread's call-window-procedure hook through which the owner-drawn
// menus see their menu windows. Reference-counted: every user acquires it
// and the hook goes when the last one releases it.
#pragma once

namespace lumbra {

void acquireMenuHook();
void releaseMenuHook();

} // namespace lumbra
