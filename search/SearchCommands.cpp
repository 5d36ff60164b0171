#include "search/SearchCommands.h"

#include "app/MDIForm1.h"

namespace searchcmd {

SearchState& state() {
    static SearchState s;
    return s;
}

void resetState() { state() = SearchState{}; }

void frameLoaded() { state().intSearchDirection = 1; }

void FindInDocument(MDIForm1&) {}
void mnuSearch(MDIForm1&) {}
void Find(MDIForm1&) {}
void FindNext(MDIForm1&) {}

} // namespace searchcmd
