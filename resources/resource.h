// Resource and control identifiers shared by the .rc files and the code.
#pragma once

#define IDD_SETTING   101
#define IDI_SUNDREL   102
#define IDD_DIVIDE    104
#define IDD_MERGE     105

// Divide and merge windows
#define IDC_FILE          1011
#define IDC_PROGRESS      1013
#define IDC_STOP          1015
#define IDC_FILE_LABEL    1031
#define IDC_OUTLOOK       1033
#define IDC_TO_LABEL      1034
#define IDC_SUBJ_LABEL    1035
#define IDC_TO            1036
#define IDC_SUBJ          1037
#define IDC_HINT          1038
#define IDC_MAIL_GROUP    1041
#define IDC_TO_REG        1044
#define IDC_SUBJ_REG      1045
#define IDC_FORM_AMP      1046
#define IDC_FORM_QUEST    1047

// Settings window
#define IDC_DIVSIZE       1005
#define IDC_DIVSIZE_MAIL  1006
#define IDC_DIVREC_LABEL  1007
#define IDC_DIVREC        1008
#define IDC_DIVREC_HINT   1009
#define IDC_DIV_RMV       1014
#define IDC_MRG_RMV       1015
#define IDC_MRG_FOLDER_A  1016
#define IDC_MRG_FOLDER_B  1017
#define IDC_MRG_DIR       1018
#define IDC_MRG_BROWSE    1019
#define IDC_MRG_OPEN      1020
#define IDC_MRG_BOX       1021
#define IDC_DIV_BOX       1022
#define IDC_DIVSIZE_LABEL 1023
#define IDC_MRG_RADIO     1024
#define IDC_DIV_RADIO     1025
#define IDC_DIV_FOLDER_A  1026
#define IDC_DIV_FOLDER_B  1027
#define IDC_DIV_DIR       1028
#define IDC_DIV_BROWSE    1029
#define IDC_DIV_OPEN      1030
#define IDC_OL_BROWSE     1031
#define IDC_OL_DIR        1040
#define IDC_OL_BOX        1041
#define IDC_OL_DESC       1042
#define IDC_OL_VER        1043

// Context menu
#define IDM_DOCUMENT  5001
#define IDM_VERSION   5002
