#include "host/windows/settings_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdint>
#include <cstdio>
#include <optional>

#include "settings/settings.h"
#include "host/windows/registry_settings.h"
#include "host/windows/settings_dialog_controls.h"

namespace {

// Trackbar steps of the speed, in percent: the arrow keys move by one line,
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

// The control's row; the controls' test keeps every control to a row.
const SettingInfo* rowOf(const SettingControl& control) { return settingFor(control.field); }

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

// The value beside a slider, as a percentage (Speed is the one slider).
void showSliderText(HWND dialog, const SettingControl& control)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d %%",
                  int(SendDlgItemMessageA(dialog, control.controlId, TBM_GETPOS, 0, 0)));
    SetDlgItemTextA(dialog, control.companionId, text);
}

void showSliderTexts(HWND dialog)
{
    for (const SettingControl& control : settingControls) {
        if (control.kind == SettingControlKind::slider)
            showSliderText(dialog, control);
    }
}

// Fills the lists and sets the ranges, once.
void prepareControl(HWND dialog, const SettingControl& control, const SettingInfo& info)
{
    switch (control.kind) {
    case SettingControlKind::list:
        for (int i = 0; i < info.choiceCount; ++i) {
            const LRESULT index =
                SendDlgItemMessageA(dialog, control.controlId, CB_ADDSTRING, 0, LPARAM(info.choices[i].label));
            SendDlgItemMessageA(dialog, control.controlId, CB_SETITEMDATA, WPARAM(index),
                                LPARAM(info.choices[i].value));
        }
        break;
    case SettingControlKind::slider:
        SendDlgItemMessageA(dialog, control.controlId, TBM_SETRANGE, FALSE, MAKELPARAM(info.minimum, info.maximum));
        SendDlgItemMessageA(dialog, control.controlId, TBM_SETTICFREQ, speedPage, 0);
        SendDlgItemMessageA(dialog, control.controlId, TBM_SETLINESIZE, 0, speedLine);
        SendDlgItemMessageA(dialog, control.controlId, TBM_SETPAGESIZE, 0, speedPage);
        break;
    case SettingControlKind::number:
        SendDlgItemMessageA(dialog, control.companionId, UDM_SETRANGE, 0, MAKELPARAM(info.maximum, info.minimum));
        SendDlgItemMessageA(dialog, control.controlId, EM_LIMITTEXT, 3, 0);
        break;
    case SettingControlKind::checkBox:
    case SettingControlKind::colour:
        break;
    }
}

void prepareControls(HWND dialog)
{
    for (const SettingControl& control : settingControls) {
        if (const SettingInfo* info = rowOf(control))
            prepareControl(dialog, control, *info);
    }
}

void showValue(HWND dialog, const SettingControl& control, std::int32_t value)
{
    switch (control.kind) {
    case SettingControlKind::list: {
        const LRESULT count = SendDlgItemMessageA(dialog, control.controlId, CB_GETCOUNT, 0, 0);
        for (LRESULT index = 0; index < count; ++index) {
            if (SendDlgItemMessageA(dialog, control.controlId, CB_GETITEMDATA, WPARAM(index), 0) == value)
                SendDlgItemMessageA(dialog, control.controlId, CB_SETCURSEL, WPARAM(index), 0);
        }
        break;
    }
    case SettingControlKind::checkBox:
        CheckDlgButton(dialog, control.controlId, value != 0 ? BST_CHECKED : BST_UNCHECKED);
        break;
    case SettingControlKind::slider:
        SendDlgItemMessageA(dialog, control.controlId, TBM_SETPOS, TRUE, value);
        showSliderText(dialog, control);
        break;
    case SettingControlKind::number:
        SetDlgItemInt(dialog, control.controlId, UINT(value), FALSE);
        break;
    case SettingControlKind::colour:
        showColour(dialog, value);
        break;
    }
}

void showSettings(HWND dialog, const Settings& settings)
{
    for (const SettingControl& control : settingControls)
        showValue(dialog, control, settings.*control.field);
}

// What the control shows, or nothing when it shows no value.
std::optional<std::int64_t> shownValue(HWND dialog, const SettingControl& control)
{
    switch (control.kind) {
    case SettingControlKind::list: {
        const LRESULT index = SendDlgItemMessageA(dialog, control.controlId, CB_GETCURSEL, 0, 0);
        if (index == CB_ERR)
            return std::nullopt;
        return SendDlgItemMessageA(dialog, control.controlId, CB_GETITEMDATA, WPARAM(index), 0);
    }
    case SettingControlKind::checkBox:
        return IsDlgButtonChecked(dialog, control.controlId) == BST_CHECKED ? 1 : 0;
    case SettingControlKind::slider:
        return SendDlgItemMessageA(dialog, control.controlId, TBM_GETPOS, 0, 0);
    case SettingControlKind::number: {
        BOOL translated = FALSE;
        const UINT value = GetDlgItemInt(dialog, control.controlId, &translated, FALSE);
        return translated ? std::optional<std::int64_t>(value) : std::nullopt;
    }
    case SettingControlKind::colour:
        return dialogState.colour;
    }
    return std::nullopt;
}

// What the controls show, through the same validation as every reader: a
// detail typed out of range is taken as the nearest value in range.
Settings readSettings(HWND dialog)
{
    Settings settings;
    for (const SettingControl& control : settingControls) {
        if (const SettingInfo* info = rowOf(control))
            settings.*control.field = checkSetting(*info, shownValue(dialog, control)).value;
    }
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

// A failed save (a key that policy made read-only, say) would otherwise lose
// the change without a word: the user is told what failed and what is stored
// now, and the dialog stays open for another try or Cancel.
void onOk(HWND dialog)
{
    SettingsSaveFailure failure;
    if (saveSettings(readSettings(dialog), HKEY_CURRENT_USER, settingsRegistryKey, &failure)) {
        EndDialog(dialog, 1);
        return;
    }
    char keyName[64];
    std::snprintf(keyName, sizeof keyName, "HKEY_CURRENT_USER\\%s", settingsRegistryKey);
    char message[1024];
    saveFailureMessage(failure, keyName, message, sizeof message);
    MessageBoxA(dialog, message, "Flowball: settings not saved", MB_OK | MB_ICONERROR);
}

INT_PTR onCommand(HWND dialog, WORD control)
{
    switch (control) {
    case IDOK:
        onOk(dialog);
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
        showSliderTexts(dialog);
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
