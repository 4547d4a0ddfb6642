/* Shared by the resource script and the window code. */
#pragma once

#define IDI_PROGRAM 1
#define IDD_INPUT_BOX 100
#define IDC_INPUT_PROMPT 101
#define IDC_INPUT_TEXT 102
