// Identifiers of the player's own resources and of the commands in its menus.
// Included by the resource script as well as by C++, so only #defines here.
#pragma once

// Icons: the program's own, and the default notification-area icon.
#define IDI_PROGRAM 128
#define IDI_TRAY 198

// Menus: 130 is the template of the player's system-menu items (by position:
// 0 the movie control's popup, 1 Config..., 4 Help, 6 About...); 133 holds
// &Close at position 2 of its popup.
#define IDM_PLAYER_ITEMS 130
#define IDM_TRAY_ITEMS 133

// Commands of the movie control's popup, carried out by the host window.
#define ID_FLASH_REWIND 20025
#define ID_FLASH_ZOOM_OUT 20030
#define ID_FLASH_SHOW_ALL 20034
#define ID_FLASH_LOW 20035
#define ID_FLASH_MEDIUM 20036
#define ID_FLASH_HIGH 20037
#define ID_FLASH_PLAY 20039
#define ID_FLASH_FORWARD 20040
#define ID_FLASH_BACK 20041
#define ID_FLASH_ZOOM_IN 20042
#define ID_FLASH_LOOP 20043
#define ID_FLASH_ABOUT 20044
#define ID_FLASH_100 20046

// The player's own commands (sent as system commands).
#define ID_PLAYER_CONFIG 32777
#define ID_PLAYER_HELP 32778
#define ID_PLAYER_ABOUT 32780
#define ID_TRAY_TOGGLE 32784
#define ID_TRAY_CLOSE 8

// The About box.
#define IDD_ABOUT 100
#define IDC_ABOUT_PICTURE 1000
#define IDC_ABOUT_PRODUCT 1001
#define IDC_ABOUT_VERSION 1002
#define IDC_ABOUT_COMPANY 1003
#define IDC_ABOUT_LEGAL 1004
#define IDC_ABOUT_LINK1 1005
#define IDC_ABOUT_LINK2 1006

// Options pages, in the order the sheet shows them: 145, 144, 146, 143, 142.
#define IDD_PAGE_MISCELLANEOUS 142
#define IDD_PAGE_BEHAVIOUR 143
#define IDD_PAGE_SIZE_POSITION 144
#define IDD_PAGE_APPEARANCE 145
#define IDD_PAGE_INTERACTION 146

// Appearance page.
#define IDC_SHAPE_RECTANGLE 1100
#define IDC_SHAPE_TRANSPARENT 1101
#define IDC_SHAPE_CLIP 1102
#define IDC_SHAPE_NAME 1103
#define IDC_BORDER_NONE 1110
#define IDC_BORDER_SINGLE 1111
#define IDC_BORDER_RESIZABLE 1112
#define IDC_BORDER_SMALL_CAPTION 1113
#define IDC_BORDER_NO_TASKBAR 1114
#define IDC_ICON_MAXIMIZE 1120
#define IDC_ICON_MINIMIZE 1121
#define IDC_ICON_SYSTEM_MENU 1122
#define IDC_ICON_HELP 1123
#define IDC_SCALE_SHOW_ALL 1130
#define IDC_SCALE_100 1131
#define IDC_SCALE_NO_BORDER 1132
#define IDC_SCALE_EXACT_FIT 1133
#define IDC_CAPTION 1140

// Size and Position page.
#define IDC_SIZE_MOVIE 1200
#define IDC_SIZE_FULL_SCREEN 1201
#define IDC_SIZE_MAXIMIZED 1202
#define IDC_SIZE_CUSTOM 1203
#define IDC_SIZE_PERCENT 1204
#define IDC_SIZE_WIDTH 1210
#define IDC_SIZE_WIDTH_SPIN 1211
#define IDC_SIZE_HEIGHT 1212
#define IDC_SIZE_HEIGHT_SPIN 1213
#define IDC_SIZE_PERCENTAGE 1214
#define IDC_SIZE_PERCENTAGE_SPIN 1215
#define IDC_SIZE_PRESET 1216
#define IDC_SIZE_PRESET_TEXT 1217
#define IDC_POSITION 1220
#define IDC_POSITION_X 1221
#define IDC_POSITION_X_SPIN 1222
#define IDC_POSITION_Y 1223
#define IDC_POSITION_Y_SPIN 1224
#define IDC_POSITION_X_UNIT 1225
#define IDC_POSITION_Y_UNIT 1226
#define IDC_KEEP_RATIO 1230

// Interaction page.
#define IDC_LEFT_SEND 1300
#define IDC_LEFT_DRAG 1301
#define IDC_LEFT_IGNORE 1302
#define IDC_RIGHT_FLASH_MENU 1310
#define IDC_RIGHT_CONTEXT_MENU 1311
#define IDC_RIGHT_IGNORE 1312
#define IDC_KEYS_SEND 1320
#define IDC_KEYS_IGNORE 1321
#define IDC_KEYS_NO_WINDOWS_KEYS 1322
#define IDC_NO_TASK_SWITCH 1330
#define IDC_NO_CURSOR 1331
#define IDC_NO_SCREEN_SAVER 1332
#define IDC_EXIT_ESC 1340
#define IDC_EXIT_HOT_KEY 1341
#define IDC_HOT_KEY 1342

// Behaviour page.
#define IDC_MENU_CONFIGURE 1400
#define IDC_MENU_FLASH 1401
#define IDC_MENU_ABOUT 1402
#define IDC_MENU_HELP 1403
#define IDC_AUTO_PLAY 1410
#define IDC_APPLICATION_ICON 1411
#define IDC_START_MINIMIZED 1412
#define IDC_ALWAYS_ON_TOP 1413
#define IDC_SYSTEM_TRAY 1414

// Miscellaneous page.
#define IDC_CUSTOM_BACKGROUND 1500
#define IDC_ABOUT_SPLASH 1501
#define IDC_MUTE 1502
#define IDC_USE_HELP_FILE 1503
#define IDC_BACKGROUND_SWATCH 1510
#define IDC_HELP_FILE 1511
#define IDC_HELP_BROWSE 1512
