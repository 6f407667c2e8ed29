/* Numbers of the stub's resources and of the controls the program talks to. Included by
   stub.rc, so plain #defines only. */
#ifndef TWK_RESOURCE_IDS_H
#define TWK_RESOURCE_IDS_H

#define IDI_SETUP 1
#define IDB_WIZARD 100

#define IDD_LICENSE 101
#define IDD_FOLDER 102
#define IDD_WELCOME 111
#define IDD_PROGRESS 112
#define IDD_START_MENU 114
#define IDD_NEWER_FILE 116
#define IDD_SAME_FILE 117

#define IDC_FIELD 1000      /* page text or edit field; the progress status text */
#define IDC_LINE_ABOVE 1001 /* a fixed line of text, which a translation replaces */
#define IDC_LINE_BELOW 1002
#define IDC_OVERALL_BAR 1005
#define IDC_FILE_BAR 1006   /* also the folder page's space estimate */
#define IDC_PATH 1007
#define IDC_ANSWER_YES 1008
#define IDC_ANSWER_NO 1009
#define IDC_ANSWER_ALL 1010
#define IDC_BROWSE 1012
#define IDC_NONE (-1)

/* Wizard pages: popup, caption, system menu, modal frame, context help, font. */
#define WIZARD_PAGE_STYLE 0x80C808C0
#define WIZARD_PICTURE_STYLE 0x5000120E  /* bitmap, centred image, sunken */
#define WIZARD_TEXT_STYLE 0x50020080     /* group start, no prefix */
#define WIZARD_LABEL_STYLE 0x50020000
#define WIZARD_FIELD_STYLE 0x50810080    /* border, tab stop, horizontal auto-scroll */
#define LICENSE_FIELD_STYLE 0x50A00804   /* read-only, multi-line, border, vertical bar */
#define BROWSE_BUTTON_STYLE 0x50010000

#endif
