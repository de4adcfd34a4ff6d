// Resource ids of the program pelto.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// System menu item of the About box (the platform wants ids below 0xF000 with the low four bits
// clear).
#define IDM_ABOUTBOX 0x0010
#define IDS_ABOUTBOX 101

#define IDD_PELTO_DIALOG 102
#define IDR_MAINFRAME 128
#define IDC_LINK_CURSOR 133
#define IDR_ACCELERATOR 134
#define IDB_PLACEHOLDER 139

// Controls of the main window.
#define IDC_SNAP_TYPE 1004
#define IDC_PREVIEW 1005
#define IDC_GRAYSCALE 1006
#define IDC_NEGATE 1007
#define IDC_FLIP_HORZ 1010
#define IDC_FLIP_VERT 1011
#define IDC_ROTATE 1012
#define IDC_SCALE 1013
#define IDC_SHEAR_ACROSS 1016
#define IDC_SHEAR_DOWN 1017
#define IDC_BLUR 1018
#define IDC_SHARPEN 1019

// Commands: the standard ones keep the platform framework's numbers.
#define ID_FILE_OPEN 0xE101
#define ID_FILE_SAVE 0xE103
#define ID_FILE_SAVE_AS 0xE104
#define ID_FILE_PAGE_SETUP 0xE105
#define ID_FILE_PRINT 0xE107
#define ID_EDIT_CLEAR 0xE120
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_PASTE 0xE125
#define ID_APP_ABOUT 0xE140
#ifndef ID_APP_EXIT
#define ID_APP_EXIT 0xE141
#endif
#define ID_HELP_BUTTON 0xE146

#define ID_SNAP_FULLSCREEN 32795
#define ID_NEW_SNAP 32796
#define ID_SHOW_HIDE 32799
#define ID_FILE_SAVE_THUMB 32800
#define ID_EDIT_COPY_THUMB 32801
#define ID_EDIT_IMAGE 32804
#define ID_OPT_GRAYSCALE 32810
#define ID_OPT_NEGATE 32811
#define ID_OPT_FLIP_HORZ 32822
#define ID_OPT_FLIP_VERT 32823
#define ID_OPT_ROTATE 32824
#define ID_OPT_SCALE 32825
#define ID_OPT_SHEAR_ACROSS 32826
#define ID_OPT_SHEAR_DOWN 32827
#define ID_OPT_BLUR 32828
#define ID_OPT_SHARPEN 32829
#define ID_OPT_SETTINGS 32830
#define ID_OPT_AUTO_COPY 32844
#define ID_SNAP_SELECT_RECT 32845
#define ID_SNAP_ACTIVE_WIN 32846
#define ID_SNAP_CURRENT_WIN 32847
#define ID_SNAP_WIN_CLIENT 32848
#define ID_SNAP_WIN_OBJ 32850
#define ID_HELP_HOME_PAGE 32862
#define ID_HELP_CHECK_UPDATE 32865
#define ID_EDIT_PIN 32870

// The hot keys' registration ids.
#define IDH_NEW_SNAP 1001
#define IDH_SHOW_HIDE 1008

// The tray icon's callback message.
#define WM_TRAYNOTIFY (WM_USER + 100)

// The tray icon: its id is also the number of its menu.
#define IDR_TRAY_MENU 131

// The About box and the update dialog.
#define IDD_ABOUTBOX 100
#define IDB_ABOUT 136
#define IDD_UPDATE 141
#define IDC_ABOUT_LINK 1040
#define IDC_UPDATE_INFO 1006
#define IDC_UPDATE_PROGRESS 1050
#define IDC_UPDATE_STATUS 1052
