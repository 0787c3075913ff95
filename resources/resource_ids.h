#pragma once

// Resource and control identifiers shared by the resource script and the code.
#define IDI_KELVORIN 101
#define IDR_PAYLOAD 102
#define IDD_FRAME 103
#define IDD_LICENSE_PAGE 104
#define IDD_COMPONENTS_PAGE 105
#define IDD_FOLDER_PAGE 106
#define IDD_PROGRESS_PAGE 107
