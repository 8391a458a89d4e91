#pragma once
// The BIOS name the main window reads when it is created, shown later in the local profile line.

#include <string>

namespace zorvi {

// Keeps `biosName` for the life of the process. Called once, on the GUI thread, before the
// start-up profile thread starts; later calls change nothing.
void keepBios(std::string biosName);

// The kept BIOS name (empty before keepBios). Any thread.
std::string keptBios();

}  // namespace zorvi
