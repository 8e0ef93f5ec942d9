// The components page's check-box list: an owner-drawn list box whose items
// are profile groups, each drawn with a check box in front of its title. A
// press on the box or the space bar flips the group's check mark.
#pragma once
#include "engine/profile/ProfileTables.h"

#include <windows.h>

class CheckList {
public:
    // Takes over the list box control (subclassed for presses on the box).
    void Attach(HWND listBox);
    void Add(Group& group);
    Group* At(int index) const;
    Group* Selected() const;
    void Toggle(int index);

    // The owner's WM_MEASUREITEM (sent while the dialog creates the list,
    // before Attach: the item is as high as an "M" in the dialog's font),
    // WM_DRAWITEM and WM_VKEYTOITEM; false when not for this list.
    static bool Measure(HWND dialog, int listId, MEASUREITEMSTRUCT& item);
    bool Draw(const DRAWITEMSTRUCT& item) const;
    // The space bar flips the selected item; -2 tells the list it was handled.
    bool KeyToItem(WPARAM wParam, LPARAM lParam, INT_PTR& result);

    HWND Handle() const { return list_; }

private:
    static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The check box's square inside an item rectangle.
    static RECT BoxOf(const RECT& item);

    HWND list_ = nullptr;
    WNDPROC original_ = nullptr;
};
