// The update check and the About box are not part of the program yet; until they are, their
// commands do nothing and the start-up check finds nothing.
#include "app/main/ProgramActions.h"

BOOL CheckForUpdateAtStart(const CString&) { return FALSE; }
void RunUpdateDialog() {}
void RunAboutBox() {}
