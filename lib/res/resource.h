// Resource ids of PeltoLib.
#pragma once

#define IDD_ACTIVE_WIN 4004
#define IDC_WND_LIST 4000
