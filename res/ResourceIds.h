// Resource, control and command ids shared by the templates and the code.
#pragma once

#include "platform/base/Win32.h"

constexpr UINT IDD_LUMICUE_MAIN = 317;
constexpr UINT IDD_POINTER_PAGE = 318;
constexpr UINT IDD_ABOUT_PAGE = 20102;
constexpr UINT IDD_OPTIONS_PAGE = 319;
constexpr UINT IDR_TRAY_MENU = 2;
constexpr int IDI_APP = 2;

constexpr int IDC_APP_ICON = 24107;
constexpr int IDC_APP_TITLE = 24105;
constexpr int IDC_APP_SUBTITLE = 1239;
constexpr int IDC_LINK_DONATE = 1252;
constexpr int IDC_TAB_SHEET = 1248;
constexpr int IDC_LINK_SITE = 20096;
constexpr int IDC_EXIT = 1255;

// The Pointer page, template 318.
constexpr int IDC_POINTER_LABEL = 1347;
constexpr int IDC_POINTER_PREVIEW = 1292;
constexpr int IDC_POINTER_HINT = 1348;
constexpr int IDC_OPACITY_LABEL = 1297;
constexpr int IDC_OPACITY_SLIDER = 1298;
constexpr int IDC_HOTKEY_LABEL = 1247;
constexpr int IDC_HOTKEY_EDIT = 1289;
constexpr int IDC_SWITCH_BUTTON = 1290;
constexpr int IDC_LINK_MORE = 1259;

// The About page, template 20102.
constexpr int IDC_ABOUT_VERSION = 24105;
constexpr int IDC_ABOUT_NOTICE = 24106;
constexpr int IDC_LINK_PRODUCT = 20096;
constexpr int IDC_LINK_MAIL = 20097;
constexpr int IDC_DONATE_TEXT = 21273;
constexpr int IDC_STATIC = -1;

// The Options page, template 319.
constexpr int IDC_SIZE_LABEL = 1360;
constexpr int IDC_SIZE_SLIDER = 1361;
constexpr int IDC_SIZE_VALUE = 1362;
constexpr int IDC_ANNOUNCE_CHECK = 1363;
constexpr int IDC_CLICKS_CHECK = 1364;
constexpr int IDC_UPDATE_CHECK = 1365;
constexpr int IDC_LANGUAGE_LABEL = 1366;
constexpr int IDC_LANGUAGE_COMBO = 1367;
constexpr int IDC_LANGUAGE_NOTE = 1368;
constexpr int IDC_OPEN_FOLDER = 1369;

// String resources.
constexpr UINT IDS_SUPPORT_MAIL = 20099;

constexpr UINT ID_APP_ABOUT = 57664;
constexpr UINT ID_VISIT = 34063;
constexpr UINT ID_TOGGLE_POINTER = 34062;
constexpr UINT ID_OPEN = 26027;
constexpr UINT ID_DONATE = 21277;

constexpr int IDH_TOGGLE = 9;
constexpr UINT_PTR IDT_UPDATECHECK = 2;
