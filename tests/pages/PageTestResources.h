#pragma once
// The page template of the sheet tests' own page.
#define IDD_TEST_PAGE 301
#define IDC_TEST_NAME 1003
