// Resource, control and command ids shared by the templates and the code.
#pragma once

#include "platform/Win32.h"

constexpr UINT IDD_LUMICUE_MAIN = 317;
constexpr UINT IDD_POINTER_PAGE = 318;
constexpr UINT IDD_ABOUT_PAGE = 20102;
constexpr UINT IDR_TRAY_MENU = 2;
constexpr int IDI_APP = 2;

constexpr int IDC_APP_ICON = 24107;
constexpr int IDC_APP_TITLE = 24105;
constexpr int IDC_APP_SUBTITLE = 1239;
constexpr int IDC_LINK_DONATE = 1252;
constexpr int IDC_TAB_SHEET = 1248;
constexpr int IDC_LINK_SITE = 20096;
constexpr int IDC_EXIT = 1255;

constexpr UINT ID_APP_ABOUT = 57664;
constexpr UINT ID_VISIT = 34063;
constexpr UINT ID_TOGGLE_POINTER = 34062;
constexpr UINT ID_OPEN = 26027;
constexpr UINT ID_DONATE = 21277;

constexpr int IDH_TOGGLE = 9;
constexpr UINT_PTR IDT_UPDATECHECK = 2;
