// Per-thread initialisation of the automation layer. Nothing on this platform
// needs it, so the calls only count the levels opened on the calling thread;
// each coInitialize is balanced by one coUninitialize.
#pragma once

namespace oc {

// Opens one level; true when it is the first on this thread.
bool coInitialize();
// Closes one level; a call without an open level does nothing.
void coUninitialize();
// The levels open on the calling thread.
int comInitDepth();

}  // namespace oc
