#pragma once
// Qt's raster painting hands the pieces of a large fill or image conversion to Qt's global
// thread pool and waits for all of them. The program starts a few threads of that pool with the
// application and keeps them (PaintingThreads.cpp), so painting never waits on a thread start.

namespace vx {

// Whether a thread that the pool was asked to start has never begun. Qt counts such a thread as
// running for ever, and the application's end waits for it.
bool PaintingThreadNeverBegan();

// While on, a thread of Qt's own other than the painting pool's that cannot start ends the
// program with the out-of-memory text, as Qt would wait for it without end.
void StartingUp(bool on);

// Whether a thread of Qt's own other than the painting pool's could not start, from before the
// application was made on (Qt says so only in a warning).
bool OtherQtThreadFailed();

// Whether the pool was asked for painting threads and none began: large paints would then wait
// for ever, and the program cannot go on.
bool NoPaintingThreadBegan();

// Ends the process with the exit code when a painting thread never began (see above): the
// program's work is done, and destroying the application would wait without end.
void EndIfPaintingThreadNeverBegan(int code);

} // namespace vx
