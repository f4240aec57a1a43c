/* Identifiers of the Windows program's resources and the texts shared with other front ends.
   Read by the resource compiler as well as by C++, so it holds nothing but definitions. */
#ifndef QRV_RESOURCE_IDS_H
#define QRV_RESOURCE_IDS_H

#define QRV_MAIN_WINDOW_CLASS "QRVMainWinClass"

/* Dialog templates, menu and icon. */
#define IDD_MAIN_WINDOW 101
#define IDD_ABOUT_BOX 102
#define IDR_MAIN_MENU 104
#define IDI_PROGRAM_ICON 107

/* Controls of the main window. */
#define IDC_EXIT_BUTTON 8
#define IDC_PLAY_O_BUTTON 9
#define IDC_RESET_BUTTON 10
#define IDC_SEPARATOR 111
#define IDC_FIRST_SQUARE 1004 /* square s is 1004 + s */
#define IDC_LAST_SQUARE 1012
#define IDC_STATUS_FIELD 1013

/* Menu commands; an opponent's is IDM_OPPONENT_BASE + its kind. */
#define IDM_ABOUT 105
#define IDM_EXIT 106
#define IDM_OPPONENT_BASE 40000
#define IDM_RULE_OPPONENT 40001
#define IDM_NETWORK_OPPONENT 40002
#define IDM_GENETIC_OPPONENT 40003

/* Controls of the About box. */
#define IDC_ABOUT_ICON 108

/* The main window's caption and the About box's texts. */
#define QRV_MAIN_CAPTION "Play Xs & Os with Neural Network..."
#define QRV_ABOUT_VERSION_TEXT "Quorvane Version 1.2"
#define QRV_ABOUT_MAKER_TEXT "Made by the Quorvane developers"
#define QRV_ABOUT_WEB_ADDRESS "https://quorvane.example.org"

#endif
