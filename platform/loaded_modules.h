#pragma once
// Shared objects stay loaded to the end of the process once this has run.
//
// Why: LeakSanitizer checks for leaks from an exit handler, after the X
// connections have closed. Closing the last one unloads the GL driver (Mesa's
// *_dri.so), and a block the driver still points at from its own data becomes
// unreachable the moment those pages are unmapped; its allocation frames then
// name no module, so no suppression can match it. Whether a driver build does
// that is the machine's business, not our code's. Kept loaded, the driver's data
// is still there at the check: such a block is reachable and not reported, while
// a block of ours that nothing points at is reported as before.
//
// The other way, checking for leaks at the end of main while everything is still
// loaded, would run the check while the GL driver's worker threads are alive, and
// LeakSanitizer's stop-the-world pass does not always survive those.
//
// The program and the gui and gl test mains call it at the end of main, before
// the QApplication closes its connection.
namespace platform {

void KeepLoadedModulesToExit();

} // namespace platform
