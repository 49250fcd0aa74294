// Identifiers of Project1's resources and of Form1's controls, shared by
// Project1.rc and the code. Plain macros: the resource compiler reads them.
#pragma once

// The program icon (32 x 32 in 2 and 16 colours, 16 x 16 in 16 colours)
// and the pointing hand over the link line.
#define IDI_PROJECT1 1
#define IDC_HAND_POINTER 2

// The text prompt of "Generate random points".
#define IDD_PROMPT 100
#define IDC_PROMPT_TEXT 101
#define IDC_PROMPT_REPLY 102

// The progress window of a long batch.
#define IDD_PROGRESS 110
#define IDC_PROGRESS_TEXT 111
#define IDC_PROGRESS_BAR 112

// Form1's controls.
#define IDC_CHKAUTO 1001
#define IDC_PICMAIN 1002
#define IDC_CMDTRIANGULATE 1003
#define IDC_CMDCLEAR 1004
#define IDC_CMDRANDOM 1005
#define IDC_LBLHYPERLINK 1006
#define IDC_LBLINFO 1007
#define IDC_LBLTUTORIAL 1008
