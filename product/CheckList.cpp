#include "product/CheckList.h"

namespace {
const char kOwnerProperty[] = "BrantokeCheckList";
}

void CheckList::Attach(HWND listBox)
{
    list_ = listBox;
    SetPropA(list_, kOwnerProperty, this);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CheckList::ListProc)));
}

void CheckList::Add(Group& group)
{
    LRESULT index = SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(group.Title.c_str()));
    if (index >= 0) SendMessageA(list_, LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(&group));
}

Group* CheckList::At(int index) const
{
    LRESULT data = SendMessageA(list_, LB_GETITEMDATA, index, 0);
    return data == LB_ERR ? nullptr : reinterpret_cast<Group*>(data);
}

Group* CheckList::Selected() const
{
    LRESULT index = SendMessageA(list_, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? nullptr : At(static_cast<int>(index));
}

void CheckList::Toggle(int index)
{
    Group* group = At(index);
    if (!group) return;
    group->Checked = group->Checked ? 0 : 1;
    RECT item;
    if (SendMessageA(list_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) != LB_ERR)
        InvalidateRect(list_, &item, FALSE);
}

RECT CheckList::BoxOf(const RECT& item)
{
    RECT box = item;
    box.left += 2;
    box.top += 2;
    box.bottom -= 2;
    box.right = box.left + (box.bottom - box.top);
    return box;
}

bool CheckList::Measure(HWND dialog, int listId, MEASUREITEMSTRUCT& item)
{
    if (item.CtlType != ODT_LISTBOX || static_cast<int>(item.CtlID) != listId) return false;
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, "M", 1, &size);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    item.itemHeight = static_cast<UINT>(size.cy);
    return true;
}

bool CheckList::Draw(const DRAWITEMSTRUCT& item) const
{
    if (item.hwndItem != list_) return false;
    if (static_cast<int>(item.itemID) < 0 || !(item.itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) return true;
    const Group* group = reinterpret_cast<const Group*>(item.itemData);
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    const COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    HDC dc = item.hDC;
    SetTextColor(dc, text);
    SetBkColor(dc, back);

    const RECT box = BoxOf(item.rcItem);
    const std::string title = group ? group->Title : std::string();
    SIZE extent = {};
    GetTextExtentPoint32A(dc, title.c_str(), static_cast<int>(title.size()), &extent);
    const int height = item.rcItem.bottom - item.rcItem.top;
    const int x = item.rcItem.left + (box.right - box.left) + 2 * GetSystemMetrics(SM_CXDLGFRAME);
    const int y = item.rcItem.top + (extent.cy < height ? (height - extent.cy) / 2 : 0);
    ExtTextOutA(dc, x, y, ETO_OPAQUE, &item.rcItem, title.c_str(), static_cast<UINT>(title.size()), nullptr);

    HPEN pen = CreatePen(PS_SOLID, 1, text);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, box.left, box.top, box.right, box.bottom);
    if (group && group->Checked) {
        MoveToEx(dc, box.left, box.top, nullptr);
        LineTo(dc, box.right, box.bottom);
        MoveToEx(dc, box.left, box.bottom - 1, nullptr);
        LineTo(dc, box.right, box.top - 1);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    return true;
}

bool CheckList::KeyToItem(WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    if (reinterpret_cast<HWND>(lParam) != list_) return false;
    if (LOWORD(wParam) != VK_SPACE) {
        result = -1; // the list's own handling
        return true;
    }
    Toggle(HIWORD(wParam));
    result = -2;
    return true;
}

LRESULT CALLBACK CheckList::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<CheckList*>(GetPropA(window, kOwnerProperty));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    WNDPROC original = self->original_;
    if (message == WM_LBUTTONDOWN) {
        const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        LRESULT hit = SendMessageA(window, LB_ITEMFROMPOINT, 0, lParam);
        const int index = LOWORD(hit);
        RECT item;
        // HIWORD set: below the last item.
        if (HIWORD(hit) == 0 &&
            SendMessageA(window, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) != LB_ERR) {
            RECT box = BoxOf(item);
            if (PtInRect(&box, at)) self->Toggle(index);
        }
    } else if (message == WM_NCDESTROY) {
        RemovePropA(window, kOwnerProperty);
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
}
