#pragma once
// Dialog templates of the toolkit tests.

#define IDD_NAME_EXTENDED 101 // extended template with a font block
#define IDD_NAME_PLAIN 102    // plain template without a font block
#define IDD_PAGE_GENERAL 201
#define IDD_PAGE_DETAIL 202

#define IDC_PROMPT 1001
#define IDC_NAME 1002
#define IDC_CHECK_NAME 1003
#define IDC_DETAIL_TEXT 1011
#define IDC_DETAIL_OPTION 1012

#define IDM_CONTEXT 4032      // first item a pop-up, as the program's context menu
#define IDM_CONTEXT_FLAT 4033 // first item a plain command
#define IDM_POSITION_FIRST 4301
#define IDM_POSITION_LAST 4304
