// Identifiers shared by the resource script and the program.
#pragma once

#define IDI_APP 1
#define IDI_STATUS_OK 10
#define IDI_STATUS_PROBLEM 11
#define IDI_STATUS_MINOR 12
#define IDI_TOOL_SCAN 20
#define IDI_TOOL_REPAIR 21
#define IDI_TOOL_EXIT 22
#define IDI_TOOL_ABOUT 23
#define IDI_TOOL_READ_ME 24
#define IDA_MAIN 30
#define IDD_ABOUT 40
#define IDD_READ_ME 41

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
// The About window's controls.
#define IDC_ABOUT_ICON 400
#define IDC_ABOUT_PRODUCT_NAME 401
#define IDC_ABOUT_VERSION 402
#define IDC_ABOUT_COPYRIGHT 403
#define IDC_ABOUT_LINK 404
#define IDC_ABOUT_IMAGE 405
#define IDC_ABOUT_OPERATING_SYSTEM 406
#define IDC_ABOUT_MEMORY_LABEL 407
#define IDC_ABOUT_MEMORY 408
// The Read Me window's text.
#define IDC_READ_ME_TEXT 300

// Commands: the toolbar's buttons, the popup menu and the keys.
#define ID_SCAN 100
#define ID_REPAIR 101
#define ID_READ_ME 102
#define ID_ABOUT 103
#define ID_EXIT 104
#define ID_POPUP_REPAIR 105
#define ID_SELECT_ALL 106
#define ID_POPUP_RESET_CACHE 107

// The program's texts (resources/Strings.rc).
#define IDS_PROGRAM_NAME 1000
#define IDS_ERROR_CAPTION 1001
#define IDS_BUTTON_SCAN 1010
#define IDS_BUTTON_REPAIR 1011
#define IDS_BUTTON_READ_ME 1012
#define IDS_BUTTON_ABOUT 1013
#define IDS_BUTTON_EXIT 1014
#define IDS_TIP_SCAN 1020
#define IDS_TIP_REPAIR 1021
#define IDS_TIP_READ_ME 1022
#define IDS_TIP_ABOUT 1023
#define IDS_TIP_EXIT 1024
#define IDS_COLUMN_FONT_NAME 1030
#define IDS_COLUMN_REGISTRY_NAME 1031
#define IDS_COLUMN_FILENAME 1032
#define IDS_COLUMN_PROBLEM 1033
#define IDS_POPUP_REPAIR 1040
#define IDS_STATUS_COUNTS 1041
#define IDS_BACKUP_SAVED 1042
#define IDS_POPUP_RESET_CACHE 1043
#define IDS_RESET_CACHE_CAPTION 1044
#define IDS_RESET_CACHE_CONFIRM 1045
#define IDS_RESET_CACHE_NO_RIGHTS 1046
#define IDS_ABOUT_ANIMATION 1050
