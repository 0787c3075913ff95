#pragma once

// Resource and control identifiers shared by the resource script and the code.
#define IDI_KELVORIN 101
#define IDR_PAYLOAD 102
#define IDD_FRAME 103
#define IDD_LICENSE_PAGE 104
#define IDD_COMPONENTS_PAGE 105
#define IDD_FOLDER_PAGE 106
#define IDD_PROGRESS_PAGE 107

// Buttons 1 and 2 are the system's IDOK and IDCANCEL: forward and Cancel on every page.
#define IDC_BACK 3
#define IDC_BROWSE 4
#define IDC_SHOW_DETAILS 5
#define IDC_LICENSE_INTRO 1000
#define IDC_COMPONENTS_INTRO 1001
#define IDC_FOLDER_INTRO 1002
#define IDC_STATUS_TEXT 1003
#define IDC_LICENSE_TEXT 1004
#define IDC_FOLDER_TEXT 1005
#define IDC_COMPONENT_FIRST 1006
#define IDC_SPARE_CHECKBOX 1014
#define IDC_DESTINATION_GROUP 1015
#define IDC_SPACE_AVAILABLE 1016
#define IDC_SPACE_REQUIRED 1017
#define IDC_DETAILS_LIST 1018
#define IDC_PROGRESS_BAR 1019
