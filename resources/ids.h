// Resource numbers shared by the resource scripts and the code. Page ids are
// dialog template numbers; string ids are the string table's. Plain #defines
// so that windres can read this file too.
#pragma once

// ---- Strings --------------------------------------------------------------
#define IDS_MAIN_TITLE 4
#define IDS_CONFIRM_CANCEL 5
#define IDS_PRODUCT_TITLE 6
#define IDS_CANNOT_CREATE_DIR 7
#define IDS_SETUP_CANNOT_CONTINUE 9
#define IDS_PROFILE_TITLE 10
#define IDS_PROFILE_TEXT 13
#define IDS_CONTINUE_OPERATION 14
#define IDS_CANCEL_OPERATION 15
#define IDS_CANNOT_INSTALL_FILES 17
#define IDS_MAIN_PROGRAM_NAME 21
#define IDS_UNINSTALL_NAME 22
#define IDS_LOADING_ENGINE 23
#define IDS_SCANNING_MEMORY 24
#define IDS_ENGINE_INIT_FAILED 25
#define IDS_NEEDS_WINDOWS95 26
#define IDS_NEED_USER_NAME 28
#define IDS_NEED_COMPANY_NAME 29
#define IDS_CANNOT_VERIFY_SPACE 32
#define IDS_NOT_ENOUGH_SPACE 33
#define IDS_RELEASE_NOTES 34
#define IDS_ERR_UNKNOWN 24576
#define IDS_ERR_UNKNOWN_TEXT 24577
#define IDS_ERR_MEMORY 24578
#define IDS_ERR_MEMORY_TEXT 24579
#define IDS_ERR_FILE 24580
#define IDS_ERR_FILE_TEXT 24581
#define IDS_SETUP_ERROR 29003
#define IDS_VIRUS_REMOVED 29032
#define IDS_SCAN_ERROR 29033
#define IDS_VIRUS_NOT_REMOVED 29034
#define IDS_PRODUCT_NAME 29133
#define IDS_NO_COMPONENTS 29134
// The directory page's own refusal of a home directory it cannot use.
#define IDS_BAD_HOME_DIRECTORY 29150
// Page 116 while a failed or cancelled installation is taken back.
#define IDS_RESTORING 29160
#define IDS_RESTORED 29161

// Configuration and backup.
#define IDS_CURRENT_BUILD 29111
#define IDS_CURRENT_BUILD_NUMBER 29112
#define IDC_BACKUP_DESTINATION 1053
#define IDC_BACKUP_ACTIVITY 1054

// ---- Pages (dialog templates) ---------------------------------------------
#define IDD_WELCOME 102
#define IDD_SELECT_DIRECTORY 104
#define IDD_COPY_PROGRESS 108
#define IDD_DISKETTE_PROMPT 113
#define IDD_READING_SETUP 114
#define IDD_COMPLETE 115
#define IDD_NOT_INSTALLED 116
#define IDD_SETUP_TYPE 125
#define IDD_USER_INFO 126
#define IDD_COMPONENTS 127
#define IDD_RESTART_COUNTDOWN 150
#define IDD_UNATTENDED_PROGRESS 152
#define IDD_INSTALL_CONDITIONS 1537
#define IDD_ERROR_REPORT 1544
#define IDD_REMOVAL_CONFIRM 1545
#define IDD_REMOVAL_FILES 1546
#define IDD_REMOVAL_DONE 1547
#define IDD_REMOVAL_UNREGISTER 1550
#define IDD_KEEP_CONFIG 1552
#define IDD_RESTART 1554
#define IDD_CONFIGURING 1555
#define IDD_SUMMARY 1556
#define IDD_INTERNET_OPTIONS 1557
#define IDD_STOPPING_PRODUCT 1559
#define IDD_BACKUP 1567
#define IDD_MEMORY_SCAN 1568
#define IDD_DIRECTORY_PICKER 1536
// Billboards shown while copying, in the order of their index 0..3.
#define IDD_BILLBOARD_1 117
#define IDD_BILLBOARD_0 118
#define IDD_BILLBOARD_2 1563
#define IDD_BILLBOARD_3 1564

// ---- Controls -------------------------------------------------------------
#define IDC_BACK 1027
#define IDC_PICTURE 1028
#define IDC_FRAME 1300
#define IDC_PROGRESS 1052
#define IDC_SCAN_NOW 1022
#define IDC_DONT_RESTART 1036
#define IDC_RESTART_NOW 1037
#define IDC_COUNTDOWN 1055
#define IDC_DISKETTE_TEXT 1026
#define IDC_SOURCE_FILE 1008
#define IDC_DEST_FILE 1009
#define IDC_GAUGE 1010
// Choice pages 126, 1537, 125, 104 and the directory picker 1536.
#define IDC_BROWSE 4
#define IDC_HOME_DIRECTORY 1001
#define IDC_PICK_FULL_PATH 1002
#define IDC_PICK_SUBDIRECTORY 1003
#define IDC_EXPRESS 1015
#define IDC_CUSTOM 1016
#define IDC_CONDITIONS_LIST 1029
#define IDC_USER_NAME 1030
#define IDC_COMPANY_NAME 1031
#define IDC_HOME_FRAME 1047
// Components 127 and option pages 1552, 1557.
#define IDC_COMPONENT_LIST 1018
#define IDC_COMPONENT_TEXT 1032
#define IDC_KEEP_CONFIG 1011
#define IDC_OVERWRITE_CONFIG 1012
#define IDC_NAVIGATOR 1022
#define IDC_EXPLORER 1023
#define IDC_RUN_AUTO_DOWNLOAD 1025
#define IDC_INTERNET_TEXT 1043
#define IDC_OPTIONS_FRAME 60000
#define IDC_ZIP_NOTE 60001
// Removal pages 1545, 1546, 1550, 1547.
#define IDC_REMOVING_FILE 1031
#define IDC_REMOVAL_TEXT 1008
// Error dialog 1544.
#define IDC_ERR_TITLE 140
#define IDC_ERR_MESSAGE 141
#define IDC_ERR_ICON 142
#define IDC_ERR_INFO 144
#define IDC_ERR_MORE 119
#define IDC_ERR_MARKER 123
#define IDC_ERR_EXPLANATION 152
// Memory scan page 1568 (its progress bar is IDC_PROGRESS).
#define IDC_SCAN_STATUS 1054
// Page 116: what the rollback does.
#define IDC_RESTORE_STATUS 1056

// ---- Bitmaps, icons, sounds -------------------------------------------------
#define IDI_SETUP 4
#define IDI_STOPPING 102
#define IDI_RESTART 103
#define IDB_WELCOME 103
#define IDB_SETUP_TYPE 104
#define IDB_SUMMARY 115
#define IDB_SELECT_DIRECTORY 108
#define IDB_USER_INFO 109
#define IDB_INTERNET_OPTIONS 135
#define IDB_KEEP_CONFIG 137
#define IDB_BILLBOARD_0 143
#define IDB_BILLBOARD_1 145
#define IDB_BILLBOARD_2 146
#define IDB_BILLBOARD_3 147

// ---- Private messages -------------------------------------------------------
#define WM_RUN_WORK_ID (0x0400 + 201)
#define THREAD_MESSAGE_SETUP_DONE 1338
