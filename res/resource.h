/* Resource ids shared by vantinst.rc and the C++ sources.
   Only #define lines: windres reads nothing else from an included .h file. */
#ifndef VANTINST_RES_RESOURCE_H
#define VANTINST_RES_RESOURCE_H

/* The program's version, as the About box and the version resource in vantinst.rc
   spell it (windres joins no literals, so the .rc keeps its own copies). */
#define VANTINST_VERSION          "1.01"

/* Dialog templates */
#define IDD_ABOUT                 100
#define IDD_INSTALLER             102

/* Icon: window icon, minimised painting, drag icon and the About box picture */
#define IDI_VANTINST              128

/* Controls of the main dialog (the Exit button is IDCANCEL, 2) */
#define IDC_INSTALL               1000
#define IDC_EXPLANATION           1002
#define IDC_PROGRESS              1003

/* Controls without an id of their own */
#ifndef IDC_STATIC
#define IDC_STATIC                (-1)
#endif

/* System-menu command that opens the About box; compared after masking with 0xFFF0 */
#define IDM_ABOUTBOX              0x0010

/* Message catalogue: ids of the German set. The English twin of each is the same id
   plus MSG_ENGLISH_OFFSET. The texts live in messages.def. Message ids and control
   ids are separate number spaces (1000 is both MSG_EXPLANATION and IDC_INSTALL). */
#define MSG_ENGLISH_OFFSET        2000

#define MSG_EXPLANATION           1000
#define MSG_EXIT_BUTTON           1002
#define MSG_INSTALL_BUTTON        1004
#define MSG_MAIN_TITLE            1005
#define MSG_ABOUT_ENTRY           1006
#define MSG_ATTRIBUTES_NOT_READ   1103
#define MSG_ATTRIBUTES_NOT_SET    1104
#define MSG_COPY_FAILED           1109
#define MSG_GETVERSIONEX_FAILED   1110
#define MSG_INSTALLED_RESTART     1116
#define MSG_NO_SHUTDOWN_RIGHT     1125
#define MSG_RESTART_FAILED        1126
#define MSG_PLEASE_WAIT           1127
#define MSG_ASK_COPY_FILES        1131
#define MSG_FOLDER_UNUSABLE       1132
#define MSG_PATH_TOO_LONG         1133
#define MSG_NOT_ADMINISTRATOR     1134
#define MSG_BMP_NOT_FOUND         1200
#define MSG_BMP_NOT_BMP           1201
#define MSG_BMP_NO_INFO_BLOCK     1202
#define MSG_BMP_PLANES            1203
#define MSG_BMP_BIT_COUNT         1204
#define MSG_BMP_COMPRESSED        1205
#define MSG_NEWDEV_NOT_LOADED     1206
#define MSG_DRIVER_NOT_INSTALLED  1207

#endif
