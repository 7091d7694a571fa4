#pragma once
// The main window's output-format commands, one per format; both HD Photo indexes share one. Plain defines, so
// that the resource scripts read them as well.
#define IDM_FORMAT_JPEG 12001
#define IDM_FORMAT_GIF 12002
#define IDM_FORMAT_TIFF 12003
#define IDM_FORMAT_PNG 12004
#define IDM_FORMAT_HD_PHOTO 12005
#define IDM_FORMAT_BITMAP 12006
