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

// How many of the threads that the pool was asked to start have never begun.
int PaintingThreadsNeverBegun();

// How many of Qt's thread starts have failed so far, the painting pool's among them: Qt says so
// only in its warnings, which the program counts from before the application is made.
int QtThreadStartsFailed();

// Whether the pool was asked for painting threads and none began: large paints would then wait
// for ever, and the program cannot go on.
bool NoPaintingThreadBegan();

// Ends the process with the exit code when a painting thread never began (see above): the
// program's work is done, and destroying the application would wait without end.
void EndIfPaintingThreadNeverBegan(int code);

} // namespace vx
