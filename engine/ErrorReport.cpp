#include "engine/ErrorReport.h"

#include "engine/SetupContext.h"
#include "engine/UserMessage.h"
#include "framework/Text.h"
#include "resources/ids.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

std::string FormatMessageId(int messageId, va_list args)
{
    return fw::FormatTextV(fw::LoadText(messageId).c_str(), args);
}

bool ShowReport(int messageId, const fw::Exception* e, bool offerCancel, va_list args)
{
    ErrorReport report = MakeErrorReport(messageId, FormatMessageId(messageId, args), e, offerCancel);
    SetupContext* app = SetupContext::Current();
    const std::string text = report.Message + " " + report.Title + " (" + report.Information + ")";
    // Should the run fail now, this is why.
    if (app) app->NoteFailure(text);
    if (app && app->UnattendedMode) {
        // Nobody can answer: the report goes to the log and the operation stops.
        LogUnattendedMessage(text);
        return false;
    }
    ErrorDialog dialog(report);
    return dialog.DoModal(nullptr) == IDOK;
}

} // namespace

ErrorReport MakeErrorReport(int messageId, const std::string& message, const fw::Exception* e, bool offerCancel)
{
    std::unique_ptr<CXException> converted;
    if (e)
        converted = ConvertException(*e);
    else
        converted = std::make_unique<CXException>(1);
    converted->LoadTexts([](int32_t id) { return fw::LoadText(id); });
    ErrorReport r;
    r.Message = message;
    r.Title = converted->Title();
    r.Explanation = converted->Explanation();
    r.Information = converted->ErrorInformation(messageId);
    r.OfferCancel = offerCancel;
    r.Icon = LoadIcon(nullptr, IDI_EXCLAMATION);
    return r;
}

bool ReportError(int messageId, const fw::Exception* e, ...)
{
    va_list args;
    va_start(args, e);
    bool ok = ShowReport(messageId, e, true, args);
    va_end(args);
    return ok;
}

void ReportFatal(int messageId, const fw::Exception* e, ...)
{
    va_list args;
    va_start(args, e);
    ShowReport(messageId, e, false, args);
    va_end(args);
}

ErrorDialog::ErrorDialog(ErrorReport report) : fw::Dialog(IDD_ERROR_REPORT), report_(std::move(report)) {}

bool ErrorDialog::OnInitDialog()
{
    HWND h = Handle();
    SendDlgItemMessageA(h, IDC_ERR_ICON, STM_SETICON, reinterpret_cast<WPARAM>(report_.Icon), 0);
    SetItemText(IDC_ERR_MESSAGE, report_.Message);
    SetItemText(IDC_ERR_TITLE, report_.Title);
    SetItemText(IDC_ERR_EXPLANATION, report_.Explanation);
    SetItemText(IDC_ERR_INFO, report_.Information);
    font_ = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
    SendDlgItemMessageA(h, IDC_ERR_INFO, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendDlgItemMessageA(h, IDC_ERR_EXPLANATION, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (report_.OfferCancel) {
        SetItemText(IDOK, fw::LoadText(IDS_CONTINUE_OPERATION));
        SetItemText(IDCANCEL, fw::LoadText(IDS_CANCEL_OPERATION));
    } else {
        ShowWindow(Item(IDCANCEL), SW_HIDE);
    }
    GetWindowRect(h, &full_);
    expanded_ = true;
    Toggle(); // starts collapsed
    // Centred over the screen.
    RECT r;
    GetWindowRect(h, &r);
    int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
    SetWindowPos(h, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return true;
}

void ErrorDialog::Toggle()
{
    HWND h = Handle();
    RECT size;
    RECT visible;
    if (expanded_) {
        RECT marker;
        GetWindowRect(Item(IDC_ERR_MARKER), &marker);
        POINT corner = {marker.right, marker.bottom};
        ScreenToClient(h, &corner);
        SetRect(&size, 0, 0, corner.x, corner.y);
        AdjustWindowRectEx(&size, static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongA(h, GWL_EXSTYLE)));
        RECT window;
        GetWindowRect(h, &window);
        SetRect(&visible, window.left, window.top, window.left + (size.right - size.left),
                window.top + (size.bottom - size.top));
    } else {
        size = full_;
        GetWindowRect(h, &visible);
    }
    SetWindowPos(h, nullptr, 0, 0, size.right - size.left, size.bottom - size.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    bool enable = !expanded_; // collapsing disables, expanding enables
    for (HWND child = GetWindow(h, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT c;
        GetWindowRect(child, &c);
        POINT tl = {c.left, c.top};
        POINT br = {c.right, c.bottom};
        if (!PtInRect(&visible, tl) || !PtInRect(&visible, br)) EnableWindow(child, enable);
    }
    expanded_ = !expanded_;

    std::string text = ItemText(IDC_ERR_MORE);
    const char* from = expanded_ ? ">>" : "<<";
    const char* to = expanded_ ? "<<" : ">>";
    std::size_t at = text.find(from);
    if (at != std::string::npos) {
        text.replace(at, 2, to);
        SetItemText(IDC_ERR_MORE, text);
    }
}

bool ErrorDialog::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_ERR_MORE && code == BN_CLICKED) {
        Toggle();
        return true;
    }
    return false;
}

HBRUSH ErrorDialog::OnControlColor(HDC dc, HWND control, UINT message)
{
    if (control && GetDlgCtrlID(control) == IDC_ERR_EXPLANATION) {
        if (!faceBrush_) faceBrush_ = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        return faceBrush_;
    }
    return nullptr;
}

void ErrorDialog::OnFinalMessage()
{
    if (font_) DeleteObject(font_);
    if (faceBrush_) DeleteObject(faceBrush_);
    font_ = nullptr;
    faceBrush_ = nullptr;
}
