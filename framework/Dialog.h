// Dialogs from .rc templates, modeless or modal. Like fw::Window, the object
// is attached before the first message (WM_SETFONT precedes WM_INITDIALOG) and
// its final hook runs after the outermost message has returned.
// Modal dialogs run through the prompt seam (framework/Prompt.h).
#pragma once
#include <windows.h>

#include <string>

namespace fw {

class Dialog {
public:
    explicit Dialog(int templateId);
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    HWND Handle() const { return hwnd_; }
    int TemplateId() const { return templateId_; }

    // Modeless: creates the window with this owner (may be null).
    // Raises fw::ResourceException on failure.
    void CreateModeless(HWND owner);
    // Modal, through the prompt seam; returns the end code.
    int DoModal(HWND owner);
    // Ends a modal dialog (or destroys a modeless one, recording the code).
    void EndDialog(int code);
    void Destroy();
    bool Ended() const { return ended_; }
    int EndCode() const { return endCode_; }

    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    void SetItemText(int id, const std::string& text) const;
    std::string ItemText(int id) const;

    // Background and text colour of every dialog of the program.
    static void SetColors(COLORREF background, COLORREF text);

    // Keyboard navigation for modeless dialogs: true when the message was used.
    static bool PreTranslate(MSG& msg);

protected:
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    virtual bool OnCommand(int id, int code, HWND control) { return false; }
    // Any other message; return true and set result when handled.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) { return false; }
    // Colour of a control (WM_CTLCOLOR...); null for the program's dialog colours.
    virtual HBRUSH OnControlColor(HDC dc, HWND control, UINT message) { return nullptr; }
    // After WM_NCDESTROY, once no message of this dialog is being handled.
    virtual void OnFinalMessage() {}

private:
    static INT_PTR CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    int templateId_;
    HWND hwnd_ = nullptr;
    bool modal_ = false; // created by DialogBox
    bool ended_ = false;
    int endCode_ = 0;
    int depth_ = 0;
    bool destroyed_ = false;
};

} // namespace fw
