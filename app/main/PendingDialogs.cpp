// The options sheet is not part of the program yet; until it is, its command does nothing.
#include "app/main/ProgramActions.h"

void RunOptionsSheet(CPeltoDlg&) {}
