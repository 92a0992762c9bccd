#include "host/windows/saver_window_proc.h"

#include "host/windows/saver_callbacks.h"
#include "host/dismissal_rules.h"
#include "host/windows/password_verifier.h"
#include "host/windows/saver_host_state.h"

namespace {

// WM_POWER's request to suspend, from the Windows 9x power messages.
constexpr WPARAM powerSuspendRequest = 3;

constexpr UINT helpForwardTimeoutMs = 2000;

// Of the power broadcasts only a suspend, asked for or under way, ends the
// saver: the others (battery level, AC or battery, an unattended wake) come
// with nobody at the machine.
bool powerBroadcastCloses(WPARAM event)
{
    return event == PBT_APMQUERYSUSPEND || event == PBT_APMSUSPEND;
}

void hideCursorUnlessPreview()
{
    if (!saverHostState.isPreview)
        SetCursor(nullptr);
}

void postClose(HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
}

POINT cursorPosition()
{
    POINT position = {0, 0};
    GetCursorPos(&position);
    return position;
}

// An input method would pop up its own windows over the saver: the window gets
// no input context while it lives, and its own one back when it goes.
void detachInputMethod(HWND window)
{
    saverHostState.imeModule = GetModuleHandleA("IMM32.DLL");
    if (saverHostState.imeModule == nullptr)
        return;
    saverHostState.associateContext = reinterpret_cast<ImmAssociateContextProc>(
        reinterpret_cast<void*>(GetProcAddress(saverHostState.imeModule, "ImmAssociateContext")));
    if (saverHostState.associateContext != nullptr)
        saverHostState.savedInputContext = saverHostState.associateContext(window, nullptr);
}

void restoreInputMethod(HWND window)
{
    if (saverHostState.imeModule != nullptr && saverHostState.associateContext != nullptr &&
        saverHostState.savedInputContext != nullptr)
        saverHostState.associateContext(window, saverHostState.savedInputContext);
}

LRESULT onCreate(HWND window, WPARAM wParam, LPARAM lParam)
{
    detachInputMethod(window);
    saverHostState.cursorAnchor = cursorPosition();
    hideCursorUnlessPreview();
    return ScreenSaverProc(window, WM_CREATE, wParam, lParam);
}

LRESULT onDestroy(HWND window, WPARAM wParam, LPARAM lParam)
{
    restoreInputMethod(window);
    PostQuitMessage(0);
    return ScreenSaverProc(window, WM_DESTROY, wParam, lParam);
}

LRESULT onPaint(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (saverHostState.closeAllowed)
        return DefWindowProcA(window, WM_PAINT, wParam, lParam);
    hideCursorUnlessPreview();
    return ScreenSaverProc(window, WM_PAINT, wParam, lParam);
}

// In the preview the settings dialog owns help and the context menu. WM_HELP
// carries a pointer to its HELPINFO, which the system refuses to post: it is
// sent, and the system copies the structure into the parent's process. A hung
// parent does not hold the preview up for long.
LRESULT onHelpOrContextMenu(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!saverHostState.isPreview)
        return ScreenSaverProc(window, message, wParam, lParam);
    HWND parent = GetParent(window);
    if (parent != nullptr && IsWindow(parent)) {
        const WPARAM parentHandle = reinterpret_cast<WPARAM>(parent);
        if (message == WM_HELP) {
            DWORD_PTR reply = 0;
            SendMessageTimeoutA(parent, WM_HELP, parentHandle, lParam, SMTO_ABORTIFHUNG,
                                helpForwardTimeoutMs, &reply);
        } else {
            PostMessageA(parent, message, parentHandle, lParam);
        }
    }
    return 1;
}

LRESULT onInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (saverHostState.closeAllowed)
        return DefWindowProcA(window, message, wParam, lParam);
    return ScreenSaverProc(window, message, wParam, lParam);
}

// Switching tasks or starting another saver is refused while the saver covers
// the screen.
LRESULT onSysCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (!saverHostState.isPreview) {
        switch (wParam & 0xFFF0) {
        case SC_NEXTWINDOW:
        case SC_PREVWINDOW:
        case SC_SCREENSAVE:
            return 0;
        }
    }
    return ScreenSaverProc(window, WM_SYSCOMMAND, wParam, lParam);
}

// Once closing is allowed no frame is drawn, even from timer messages that
// were already queued. Otherwise the processor is yielded once per frame.
LRESULT onTimer(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (saverHostState.closeAllowed)
        return 0;
    Sleep(0);
    return ScreenSaverProc(window, WM_TIMER, wParam, lParam);
}

// The input rules of the running full-screen saver. Answers true, with the
// reply in result, when the message is fully handled here.
bool applyInputRules(HWND window, UINT message, WPARAM wParam, LRESULT& result)
{
    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam != 0)
            SetCursor(nullptr);
        break;
    case WM_ACTIVATEAPP:
        if (wParam == 0)
            postClose(window);
        break;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        result = TRUE;
        return true;
    case WM_POWER:
        if (wParam == powerSuspendRequest)
            postClose(window);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        postClose(window);
        break;
    case WM_POWERBROADCAST:
        // TRUE grants a suspend request, as the default procedure of Windows
        // does (wine's answers 0).
        if (powerBroadcastCloses(wParam))
            postClose(window);
        result = TRUE;
        return true;
    case WM_MOUSEMOVE: {
        const POINT position = cursorPosition();
        const POINT& anchor = saverHostState.cursorAnchor;
        if (driftCloses(cursorDrift(anchor.x, anchor.y, position.x, position.y),
                        saverHostState.moveThreshold)) {
            postClose(window);
            saverHostState.cursorAnchor = position;
        }
        break;
    }
    }
    return false;
}

}  // namespace

LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return onCreate(window, wParam, lParam);
    case WM_DESTROY:
        return onDestroy(window, wParam, lParam);
    case WM_SETTEXT:
        return 0;
    case WM_PAINT:
        return onPaint(window, wParam, lParam);
    case WM_HELP:
    case WM_CONTEXTMENU:
        return onHelpOrContextMenu(window, message, wParam, lParam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return onInput(window, message, wParam, lParam);
    case WM_SYSCOMMAND:
        return onSysCommand(window, wParam, lParam);
    case WM_TIMER:
        return onTimer(window, wParam, lParam);
    case WM_DISPLAYCHANGE:
        // A new layout can move the cursor in screen pixels without any
        // input: measure later movements from where it now is.
        saverHostState.cursorAnchor = cursorPosition();
        return ScreenSaverProc(window, message, wParam, lParam);
    default:
        return ScreenSaverProc(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool running = !saverHostState.isPreview && !saverHostState.closeAllowed;
    if (running) {
        if (message == WM_CLOSE) {
            if (saverHostState.isWin9x && !verifyPasswordToClose(window)) {
                saverHostState.cursorAnchor = cursorPosition();
                return 0;
            }
            return DefWindowProcA(window, message, wParam, lParam);
        }
        if (message == WM_APP && saverHostState.isWin9x) {
            if (saverHostState.verifyPassword == nullptr)
                return 1;
            return saverHostState.verifyPassword(window);
        }
        // Input during the password dialog never triggers anything.
        if (message != WM_APP && !saverHostState.checkingPassword) {
            LRESULT result = 0;
            if (applyInputRules(window, message, wParam, result))
                return result;
        }
    }

    if (saverHostState.autoPlayMessage != 0 && message == saverHostState.autoPlayMessage) {
        postClose(window);
        // A reply of 1 cancels the AutoPlay the system was about to start.
        return saverHostState.verifyPassword != nullptr ? 1 : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
