// Resource and command ids for vocastra.rc and the Win32 code. The values are
// fixed; src/app/messages.h gives the portable core the same ones under their
// own names (main_dialog.cpp checks that they agree). Prefixed, so that this
// header and messages.h can be included together.
#ifndef VOCASTRA_RES_RESOURCE_H
#define VOCASTRA_RES_RESOURCE_H

#define RES_ICON_MAINFRAME 128
#define RES_MENU_TRAY 130
#define RES_DIALOG_MAIN 138
#define RES_STR_OPTIONS 102

#define RES_CMD_EXIT 32775
#define RES_CMD_LANGUAGE_0 32780
#define RES_CMD_LANGUAGE_1 32787
#define RES_CMD_LANGUAGE_2 32781
#define RES_CMD_LANGUAGE_3 32788
#define RES_CMD_LANGUAGE_4 32789
#define RES_CMD_SETTING_AUDIO 32782
#define RES_CMD_SETTING_PHONE 32783
#define RES_CMD_SETTING_RINGTONE 32784
#define RES_CMD_SETTING_ADVANCED 32785
#define RES_CMD_SETTING_ABOUT 32786

#endif
