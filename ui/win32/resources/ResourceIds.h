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

// Commands: the toolbar's buttons, the popup menu and the keys.
#define ID_SCAN 100
#define ID_REPAIR 101
#define ID_READ_ME 102
#define ID_ABOUT 103
#define ID_EXIT 104
#define ID_POPUP_REPAIR 105
#define ID_SELECT_ALL 106
