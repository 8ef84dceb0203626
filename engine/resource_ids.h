// The ids of the program's resources, shared by the resource scripts and the code. Plain macros: the resource
// compiler's preprocessor reads this file too.
#pragma once

// The string table.
#define IDS_MAKER 1                 // "Nortavo", part of the settings' registry key
#define IDS_PRODUCT 2               // "Rida Mibo 1999": titles, the class name, the registry key
#define IDS_FRAMES_NOT_LOADED 3     // the message when a scene's frames cannot be loaded
#define IDS_NO_DIALOG 4             // the message when the settings dialog cannot be made
#define IDS_TASKBAR_AFTER_RESTART 5 // the note when the taskbar button is switched off
#define IDS_CONFIGURE 6             // the tray tip and the system menu's item
#define IDS_WEB_ADDRESS 7           // the maker's web address behind the dialog's link
#define IDS_NUMBER_OF_MIBOS 8
#define IDS_SNOW_DENSITY 9

// Icon groups: the tray icon and big window icon, and the class icon and small window icon.
#define IDI_LARGE 331
#define IDI_SMALL 332

// The settings dialog, a template with a name, and its controls.
#define IDD_SETTINGS DIALOG_INNE
#define IDC_SHUTDOWN 1010
#define IDC_FUN_LEVEL 1012
#define IDC_SOUND 1013
#define IDC_TASKBAR 1015
#define IDC_LINK 1017

// A named resource as the code passes it: RESOURCE_NAME(IDD_SETTINGS) is "DIALOG_INNE".
#define RESOURCE_NAME(id) RESOURCE_NAME_TEXT(id)
#define RESOURCE_NAME_TEXT(id) #id
