#pragma once
// Waits that keep the calling thread's window messages flowing, so the window stays responsive and
// network events, clicks and hook calls of the same thread are handled (nested) while waiting.
// Both may be called on any thread with a message queue; both always end.

namespace zorvi {

// Dispatches the messages waiting in the calling thread's queue until it is empty; a WM_QUIT is
// left queued for the thread's main loop.
void dispatchWaitingMessages();

// Waits `milliseconds` on a waitable timer, dispatching the thread's messages meanwhile (a WM_QUIT
// stays queued for the thread's main loop). Returns true when the time has passed.
bool timerWait(unsigned milliseconds);

// Waits `milliseconds` while dispatching the thread's messages; ends early, leaving the message
// queued, when a WM_CLOSE or WM_QUIT comes. A waker thread posts a private message when the time
// is up.
void workerWait(unsigned milliseconds);

}  // namespace zorvi
