// The launcher's first act: where its process may load DLLs from, and what its heap does
// when it is corrupted. Setup.exe runs elevated from a folder that someone else filled.
#pragma once

namespace launcher {

// Limits DLL loading to the system folder (taking the current directory out of the search
// where the system cannot do that), makes the search path safe and ends the process on heap
// corruption. Must run before anything else may load a library.
void HardenProcess();

} // namespace launcher
