#pragma once
// Thread priorities of the input subsystem.

namespace zorvi {

// Puts the calling thread one step below normal priority. Used by the broadcast's sending thread:
// waking it from the hook then never preempts the GUI thread inside the hook call; it runs on an
// idle core, or once the hook has returned. Failure leaves the priority as it was.
void runBelowNormalPriority();

}  // namespace zorvi
