#include "ui/dialog.h"

#include <new>

DialogTable dialogTable;

DialogTable::~DialogTable() {
    delete[] dialogs;
}

bool DialogTable::add(Dialog* dialog) {
    Dialog** grown = new (std::nothrow) Dialog*[count + 1];
    if (!grown)
        return false;
    for (int32_t i = 0; i < count; ++i)
        grown[i] = dialogs[i];
    grown[count] = dialog;
    delete[] dialogs;
    dialogs = grown;
    ++count;
    return true;
}

void DialogTable::remove(Dialog* dialog) {
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i)
        kept += dialogs[i] != dialog ? 1 : 0;
    if (kept == count)
        return;
    // Without memory for a new array the entries close up in place, which leaves the same table.
    Dialog** rest = kept > 0 ? new (std::nothrow) Dialog*[kept] : nullptr;
    Dialog** target = rest ? rest : dialogs;
    int32_t j = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (dialogs[i] != dialog)
            target[j++] = dialogs[i];
    }
    count = kept;
    if (rest || kept == 0) {
        delete[] dialogs;
        dialogs = rest;
    }
}

Dialog* DialogTable::find(HWND handle) const {
    for (int32_t i = 0; i < count; ++i) {
        if (dialogs[i]->handle == handle)
            return dialogs[i];
    }
    return nullptr;
}

Dialog* DialogTable::at(int index) const {
    if (count == 0)
        return nullptr;
    if (index >= count)
        index = count - 1;
    return index < 0 ? nullptr : dialogs[index];
}

Dialog::Dialog() : result(-1), handle(nullptr), owner(nullptr), inMessageLoop(0), ended(0) {}

// Normally the dialog is gone by now; one that is not is destroyed, so that no dialog outlives its object and
// no table entry points at a deleted object.
Dialog::~Dialog() {
    inMessageLoop = 0;
    if (handle && IsWindow(handle))
        DestroyWindow(handle);
    dialogTable.remove(this);
}

INT_PTR Dialog::onDeltaPos(int, NMUPDOWN*) {
    return 0;
}

INT_PTR Dialog::onNotify(WPARAM controlId, NMHDR* notification) {
    if (notification && notification->code == static_cast<UINT>(UDN_DELTAPOS))
        return onDeltaPos(static_cast<int>(controlId), reinterpret_cast<NMUPDOWN*>(notification));
    return 0;
}

int Dialog::confirmClose() {
    return 1;
}

INT_PTR Dialog::onClose() {
    if (confirmClose())
        DestroyWindow(handle);
    return 0;
}

INT_PTR Dialog::onCommand(HWND, WPARAM wParam, int) {
    if (LOWORD(wParam) == IDOK) {
        result = 1;
        SendMessageA(handle, WM_CLOSE, 0, 0);
    }
    return 0;
}

INT_PTR Dialog::onInitDialog() {
    RECT box;
    GetWindowRect(handle, &box);
    int width = box.right - box.left;
    int height = box.bottom - box.top;
    SetWindowPos(handle, HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, 0);
    return 1;
}

INT_PTR Dialog::onSysCommand(WPARAM wParam, LPARAM, int) {
    if ((wParam & 0xFFFF) == SC_CLOSE)
        DestroyWindow(handle);
    return 0;
}

bool Dialog::create(HINSTANCE instance, const char* templateName, HWND newOwner) {
    result = -1;
    owner = newOwner;
    InitCommonControls();
    HWND made = CreateDialogParamA(instance, templateName, owner, dialogProc, reinterpret_cast<LPARAM>(this));
    // A dialog the table could not take was destroyed in WM_INITDIALOG without getting its handle.
    if (!made || handle != made)
        return false;
    ShowWindow(made, SW_SHOW);
    return true;
}

// GetMessageA sleeps until the thread has something to do; the loop holds no processor while the dialog
// waits for the user. The dialog's end is noted by its WM_DESTROY rather than by a WM_QUIT of its own:
// Windows keeps a single quit request per thread, so a quit of the dialog's and one of the owner's, posted in
// the same message, would arrive as one and the owner's would be lost.
int Dialog::runMessageLoop() {
    if (!handle)
        return -1;
    inMessageLoop = 1;
    ended = 0;
    MSG message;
    while (!ended) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            int code = static_cast<int>(message.wParam);
            inMessageLoop = 0;
            if (handle)
                DestroyWindow(handle);
            PostQuitMessage(code);
            return -1;
        }
        if (got == -1)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    inMessageLoop = 0;
    return result;
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        Dialog* object = reinterpret_cast<Dialog*>(lParam);
        if (!object)
            return FALSE;
        // Outside the table no later message would find the object, and its loop would never end: the dialog goes
        // at once and create fails.
        if (!dialogTable.add(object)) {
            DestroyWindow(dialog);
            return FALSE;
        }
        object->handle = dialog;
        return object->onInitDialog();
    }
    Dialog* object = dialogTable.find(dialog);
    switch (message) {
    case WM_CLOSE:
        return object ? object->onClose() : TRUE;
    case WM_COMMAND:
        return object ? object->onCommand(reinterpret_cast<HWND>(lParam), wParam, HIWORD(wParam)) : TRUE;
    case WM_DESTROY:
        if (object) {
            if (object->inMessageLoop) {
                object->ended = 1;
                // Wakes the loop when the dialog went in a message sent from another thread, which GetMessageA
                // handles without returning; dispatched to no window, it does nothing.
                PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
            }
            dialogTable.remove(object);
            object->handle = nullptr;
        }
        return 0;
    case WM_NOTIFY:
        return object ? object->onNotify(wParam, reinterpret_cast<NMHDR*>(lParam)) : 0;
    case WM_SYSCOMMAND:
        return object ? object->onSysCommand(wParam, lParam, HIWORD(lParam)) : TRUE;
    default:
        return FALSE;
    }
}
