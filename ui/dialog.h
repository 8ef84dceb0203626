// Modeless dialogs made from templates in the resources: one Dialog object per dialog box, one shared dialog
// procedure that finds the object by its handle and calls its virtual hooks, and a message loop that lets the
// opener wait for the dialog's result as if it were modal.
#pragma once

#include <cstdint>

#include "engine/platform.h"

#include <commctrl.h>

class Dialog {
public:
    Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // The virtual slots, in their fixed order.
    virtual ~Dialog();
    virtual INT_PTR onDeltaPos(int controlId, NMUPDOWN* change);
    virtual INT_PTR onNotify(WPARAM controlId, NMHDR* notification);
    // Non-zero allows a WM_CLOSE to destroy the dialog.
    virtual int confirmClose();
    virtual INT_PTR onClose();
    virtual INT_PTR onCommand(HWND control, WPARAM wParam, int notificationCode);
    // Centres the dialog on the screen.
    virtual INT_PTR onInitDialog();
    // The close box destroys the dialog without asking confirmClose.
    virtual INT_PTR onSysCommand(WPARAM wParam, LPARAM lParam, int y);

    // True when the dialog window exists (and is shown); false also when the dialog table cannot take it.
    bool create(HINSTANCE instance, const char* templateName, HWND owner);
    // Dispatches every message of the thread until the dialog is gone; returns `result`, or -1 without a dialog.
    // A WM_QUIT meant for the caller's own loop ends the dialog (destroyed, nothing applied, -1) and is posted
    // again for that loop.
    int runMessageLoop();

    int32_t result;
    HWND handle;
    HWND owner;
    int32_t inMessageLoop;
    // Set by WM_DESTROY while the loop runs: the loop returns after the message that destroyed the dialog.
    int32_t ended;
};

// The Dialog objects whose dialog window exists.
class DialogTable {
public:
    DialogTable() : count(0), dialogs(nullptr) {}
    DialogTable(const DialogTable&) = delete;
    DialogTable& operator=(const DialogTable&) = delete;
    ~DialogTable();

    // False when the array cannot grow (the table is then unchanged).
    bool add(Dialog* dialog);
    void remove(Dialog* dialog);
    Dialog* find(HWND handle) const;
    // The entry at `index`, clamped to the last one; null when the table is empty.
    Dialog* at(int index) const;

    int32_t count;
    Dialog** dialogs;
};

extern DialogTable dialogTable;

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
