#include "driver/windows/settings_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdint>
#include <cstdio>
#include <optional>

#include "settings/settings.h"
#include "driver/windows/registry_settings.h"
#include "driver/windows/settings_dialog_ids.h"

namespace {

// The controls of the settings, by stored name: a row of the settings table
// for each control, so ranges and choices come from the table.
struct SettingControl {
    const char* storedName;
    int controlId;
};

const SettingControl switchControls[] = {
    {"Bars", IDC_BARS}, {"Stars", IDC_STARS},       {"Particles", IDC_PARTICLES},
    {"Fog", IDC_FOG},   {"Underlay", IDC_UNDERLAY}, {"Overlay", IDC_OVERLAY},
};

const SettingControl choiceControls[] = {
    {"Texture", IDC_TEXTURE},
    {"FrameRate", IDC_FRAME_RATE},
    {"Monitors", IDC_MONITORS},
};

// Trackbar steps for the speed, in percent: the arrow keys move by one line,
// Page Up and Page Down by one page, and a tick marks every page.
constexpr int speedLine = 5;
constexpr int speedPage = 25;

// The dialog's own state while it is open: one dialog per process.
struct DialogState {
    std::int32_t colour = 0;  // 0x00RRGGBB, as stored
    HBRUSH swatchBrush = nullptr;
    // The colour chooser's sixteen custom colours, kept while the process
    // lives so that a second visit finds them.
    COLORREF customColours[16] = {};
};

DialogState dialogState;

const SettingInfo& row(const char* storedName) { return *findSetting(storedName); }

COLORREF colourRef(std::int32_t colour)
{
    return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

std::int32_t storedColour(COLORREF colour)
{
    return std::int32_t(GetRValue(colour)) << 16 | std::int32_t(GetGValue(colour)) << 8 | GetBValue(colour);
}

void showColour(HWND dialog, std::int32_t colour)
{
    dialogState.colour = colour;
    if (dialogState.swatchBrush != nullptr)
        DeleteObject(dialogState.swatchBrush);
    dialogState.swatchBrush = CreateSolidBrush(colourRef(colour));
    InvalidateRect(GetDlgItem(dialog, IDC_COLOUR_SWATCH), nullptr, TRUE);
}

void showSpeedText(HWND dialog)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d %%", int(SendDlgItemMessageA(dialog, IDC_SPEED, TBM_GETPOS, 0, 0)));
    SetDlgItemTextA(dialog, IDC_SPEED_TEXT, text);
}

// Fills the lists and sets the ranges, once.
void prepareControls(HWND dialog)
{
    for (const SettingControl& control : choiceControls) {
        const SettingInfo& info = row(control.storedName);
        for (int i = 0; i < info.choiceCount; ++i) {
            const LRESULT index =
                SendDlgItemMessageA(dialog, control.controlId, CB_ADDSTRING, 0, LPARAM(info.choices[i].label));
            SendDlgItemMessageA(dialog, control.controlId, CB_SETITEMDATA, WPARAM(index),
                                LPARAM(info.choices[i].value));
        }
    }
    const SettingInfo& speed = row("Speed");
    SendDlgItemMessageA(dialog, IDC_SPEED, TBM_SETRANGE, FALSE, MAKELPARAM(speed.minimum, speed.maximum));
    SendDlgItemMessageA(dialog, IDC_SPEED, TBM_SETTICFREQ, speedPage, 0);
    SendDlgItemMessageA(dialog, IDC_SPEED, TBM_SETLINESIZE, 0, speedLine);
    SendDlgItemMessageA(dialog, IDC_SPEED, TBM_SETPAGESIZE, 0, speedPage);
    const SettingInfo& detail = row("Detail");
    SendDlgItemMessageA(dialog, IDC_DETAIL_SPIN, UDM_SETRANGE, 0, MAKELPARAM(detail.maximum, detail.minimum));
    SendDlgItemMessageA(dialog, IDC_DETAIL, EM_LIMITTEXT, 3, 0);
}

void showSettings(HWND dialog, const Settings& settings)
{
    for (const SettingControl& control : choiceControls) {
        const std::int32_t value = settings.*row(control.storedName).field;
        const LRESULT count = SendDlgItemMessageA(dialog, control.controlId, CB_GETCOUNT, 0, 0);
        for (LRESULT index = 0; index < count; ++index) {
            if (SendDlgItemMessageA(dialog, control.controlId, CB_GETITEMDATA, WPARAM(index), 0) == value)
                SendDlgItemMessageA(dialog, control.controlId, CB_SETCURSEL, WPARAM(index), 0);
        }
    }
    for (const SettingControl& control : switchControls) {
        const bool on = settings.*row(control.storedName).field != 0;
        CheckDlgButton(dialog, control.controlId, on ? BST_CHECKED : BST_UNCHECKED);
    }
    SendDlgItemMessageA(dialog, IDC_SPEED, TBM_SETPOS, TRUE, settings.speed);
    showSpeedText(dialog);
    SetDlgItemInt(dialog, IDC_DETAIL, UINT(settings.detail), FALSE);
    showColour(dialog, settings.colour);
}

// What the controls show, through the same validation as every reader: a
// detail typed out of range is taken as the nearest value in range.
Settings readSettings(HWND dialog)
{
    Settings settings;
    for (const SettingControl& control : choiceControls) {
        const SettingInfo& info = row(control.storedName);
        const LRESULT index = SendDlgItemMessageA(dialog, control.controlId, CB_GETCURSEL, 0, 0);
        std::optional<std::int64_t> value;
        if (index != CB_ERR)
            value = SendDlgItemMessageA(dialog, control.controlId, CB_GETITEMDATA, WPARAM(index), 0);
        settings.*info.field = checkSetting(info, value).value;
    }
    for (const SettingControl& control : switchControls) {
        const SettingInfo& info = row(control.storedName);
        settings.*info.field = IsDlgButtonChecked(dialog, control.controlId) == BST_CHECKED ? 1 : 0;
    }
    settings.speed =
        checkSetting(row("Speed"), SendDlgItemMessageA(dialog, IDC_SPEED, TBM_GETPOS, 0, 0)).value;
    BOOL translated = FALSE;
    const UINT detail = GetDlgItemInt(dialog, IDC_DETAIL, &translated, FALSE);
    settings.detail = checkSetting(row("Detail"), translated ? std::optional<std::int64_t>(detail) : std::nullopt).value;
    settings.colour = checkSetting(row("Colour"), dialogState.colour).value;
    return settings;
}

void chooseColour(HWND dialog)
{
    CHOOSECOLORA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = dialog;
    request.rgbResult = colourRef(dialogState.colour);
    request.lpCustColors = dialogState.customColours;
    request.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (ChooseColorA(&request))
        showColour(dialog, storedColour(request.rgbResult));
}

INT_PTR onInitDialog(HWND dialog)
{
    prepareControls(dialog);
    showSettings(dialog, loadSettings());
    // The system gives the focus to the first control that takes it.
    return TRUE;
}

INT_PTR onCommand(HWND dialog, WORD control)
{
    switch (control) {
    case IDOK:
        saveSettings(readSettings(dialog));
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    case IDC_DEFAULTS:
        showSettings(dialog, Settings());
        return TRUE;
    case IDC_COLOUR:
        chooseColour(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

// The swatch is an empty static control painted with the chosen colour.
INT_PTR onColourStatic(HWND control)
{
    if (GetDlgCtrlID(control) != IDC_COLOUR_SWATCH || dialogState.swatchBrush == nullptr)
        return FALSE;
    return reinterpret_cast<INT_PTR>(dialogState.swatchBrush);
}

void onDestroy()
{
    if (dialogState.swatchBrush != nullptr)
        DeleteObject(dialogState.swatchBrush);
    dialogState.swatchBrush = nullptr;
}

}  // namespace

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(dialog);
    case WM_COMMAND:
        return onCommand(dialog, LOWORD(wParam));
    case WM_HSCROLL:
        showSpeedText(dialog);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return onColourStatic(reinterpret_cast<HWND>(lParam));
    case WM_DESTROY:
        onDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}
