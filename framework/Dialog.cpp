#include "framework/Dialog.h"

#include "framework/App.h"
#include "framework/Exceptions.h"
#include "framework/Prompt.h"

#include <algorithm>
#include <vector>

namespace fw {

namespace {

const char kDialogProp[] = "fw.Dialog";
Dialog* g_creating = nullptr; // the dialog whose window is being created (one thread)
std::vector<HWND> g_modeless;
COLORREF g_background = RGB(192, 192, 192);
COLORREF g_text = RGB(0, 0, 0);
HBRUSH g_brush = nullptr;

HBRUSH BackgroundBrush()
{
    if (!g_brush) g_brush = CreateSolidBrush(g_background);
    return g_brush;
}

} // namespace

Dialog::Dialog(int templateId) : templateId_(templateId) {}

Dialog::~Dialog()
{
    if (hwnd_ && IsWindow(hwnd_)) {
        RemovePropA(hwnd_, kDialogProp);
        g_modeless.erase(std::remove(g_modeless.begin(), g_modeless.end(), hwnd_), g_modeless.end());
        DestroyWindow(hwnd_);
    }
}

void Dialog::SetColors(COLORREF background, COLORREF text)
{
    g_background = background;
    g_text = text;
    if (g_brush) DeleteObject(g_brush);
    g_brush = nullptr;
}

void Dialog::CreateModeless(HWND owner)
{
    modal_ = false;
    ended_ = false;
    destroyed_ = false;
    g_creating = this;
    HWND h = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner, &Dialog::StaticProc,
                                reinterpret_cast<LPARAM>(this));
    g_creating = nullptr;
    if (!h) throw ResourceException();
    g_modeless.push_back(h);
}

int Dialog::DoModal(HWND owner)
{
    if (!owner && Application::Current()) owner = Application::Current()->MainWindowHandle;
    PromptRecord record;
    record.kind = PromptRecord::kDialog;
    record.dialogId = templateId_;
    if (PromptAnswerer* answerer = CurrentPromptAnswerer()) {
        // Under test: the real dialog, made modeless so the test can look at it
        // and press its buttons; it ends through the same EndDialog.
        CreateModeless(owner);
        ShowWindow(hwnd_, SW_SHOW);
        int answer = answerer->AnswerDialog(record, *this);
        if (!ended_) EndDialog(answer);
        return endCode_;
    }
    modal_ = true;
    ended_ = false;
    g_creating = this;
    INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), owner, &Dialog::StaticProc,
                                reinterpret_cast<LPARAM>(this));
    g_creating = nullptr;
    if (r == -1) throw ResourceException();
    ended_ = true;
    endCode_ = static_cast<int>(r);
    return endCode_;
}

void Dialog::EndDialog(int code)
{
    ended_ = true;
    endCode_ = code;
    if (!hwnd_) return;
    if (modal_)
        ::EndDialog(hwnd_, code);
    else
        DestroyWindow(hwnd_);
}

void Dialog::Destroy()
{
    if (hwnd_) DestroyWindow(hwnd_);
}

void Dialog::SetItemText(int id, const std::string& text) const { SetDlgItemTextA(hwnd_, id, text.c_str()); }

std::string Dialog::ItemText(int id) const
{
    HWND item = Item(id);
    if (!item) return {};
    int n = GetWindowTextLengthA(item);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(item, &text[0], n + 1);
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}

bool Dialog::PreTranslate(MSG& msg)
{
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    for (HWND h : g_modeless)
        if (IsWindow(h) && (msg.hwnd == h || IsChild(h, msg.hwnd)) && IsDialogMessageA(h, &msg)) return true;
    return false;
}

INT_PTR CALLBACK Dialog::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* self = static_cast<Dialog*>(GetPropA(hwnd, kDialogProp));
    if (!self && g_creating) {
        self = g_creating;
        self->hwnd_ = hwnd;
        SetPropA(hwnd, kDialogProp, self);
    }
    if (!self) return FALSE;

    ++self->depth_;
    INT_PTR result = self->Dispatch(message, wParam, lParam);
    --self->depth_;
    if (message == WM_NCDESTROY) {
        RemovePropA(hwnd, kDialogProp);
        g_modeless.erase(std::remove(g_modeless.begin(), g_modeless.end(), hwnd), g_modeless.end());
        self->hwnd_ = nullptr;
        self->destroyed_ = true;
    }
    if (self->destroyed_ && self->depth_ == 0) {
        self->destroyed_ = false;
        self->OnFinalMessage(); // may delete self
    }
    return result;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        int code = HIWORD(wParam);
        HWND control = reinterpret_cast<HWND>(lParam);
        if (OnCommand(id, code, control)) return TRUE;
        if (id == IDOK && (code == BN_CLICKED || code == 0)) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL && (code == BN_CLICKED || code == 0)) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (HBRUSH own = OnControlColor(dc, reinterpret_cast<HWND>(lParam), message))
            return reinterpret_cast<INT_PTR>(own);
        SetTextColor(dc, g_text);
        SetBkColor(dc, g_background);
        return reinterpret_cast<INT_PTR>(BackgroundBrush());
    }
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_QUERYDRAGICON: {
        // These answer through the dialog procedure's own return value.
        INT_PTR result = 0;
        return OnMessage(message, wParam, lParam, result) ? result : FALSE;
    }
    default: {
        INT_PTR result = 0;
        if (OnMessage(message, wParam, lParam, result)) {
            SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
            return TRUE;
        }
        return FALSE;
    }
    }
}

} // namespace fw
