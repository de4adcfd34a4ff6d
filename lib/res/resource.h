// Resource ids of PeltoLib.
#pragma once

#define IDD_ACTIVE_WIN 4004
#define IDC_WND_LIST 4000

// The region overlay and its tip window.
#define IDD_SNAP_RECT_HELPER 135
#define IDC_SNAP_RECT_TIP 1031

// The bitmap behind the tip window and the edit control of the object-pick dialog.
#define IDB_SNAP_TIP 4002
#define IDC_SNAP_OBJ_TIP 4002
#define IDC_SNAP_CROSS 4003
#define IDD_SNAP_OBJ_HELPER 4005
