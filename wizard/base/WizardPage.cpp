#include "wizard/base/WizardPage.h"

#include "engine/ErrorReport.h"
#include "engine/SetupContext.h"
#include "engine/SystemHelpers.h"
#include "engine/UserMessage.h"
#include "framework/Text.h"
#include "resources/ids.h"
#include "wizard/base/MainWindow.h"
#include "wizard/base/Wizard.h"

WizardPage::WizardPage(int32_t pageId) : fw::Dialog(pageId), PageId(pageId) {}

WizardPage::WizardPage(int32_t pageId, int templateId) : fw::Dialog(templateId), PageId(pageId) {}

WizardPage::~WizardPage()
{
    if (picture_) DeleteObject(picture_);
}

SetupContext& WizardPage::Setup() { return *SetupContext::Current(); }

void WizardPage::PositionPage()
{
    // Centred over the owner (the main window), or the screen without one.
    PlaceWindow(Handle(), GetWindow(Handle(), GW_OWNER), 1, 2, 1, 2);
}

bool WizardPage::ConfirmCancel()
{
    return ShowUserMessage(Handle(), fw::LoadText(IDS_CONFIRM_CANCEL), fw::LoadText(IDS_MAIN_TITLE),
                           MB_YESNO | MB_ICONQUESTION, IDNO) == IDYES;
}

bool WizardPage::OnInitDialog()
{
    PositionPage();
    InitPage();
    if (Setup().UnattendedMode) SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOZORDER);
    ShowWindow(Handle(), SW_SHOW);
    PostMessageA(Handle(), WM_RUN_WORK_ID, 0, 0);
    return !focusSet_; // false: the page set the focus itself
}

void WizardPage::FocusItem(int id)
{
    SetFocus(Item(id));
    focusSet_ = true;
}

void WizardPage::OnNext()
{
    if (!Validate()) return;
    Store();
    // Storing may have ended the run (a failure shows page 116).
    if (CurrentPage() == this) GoToPage(NextPageOf(PageId));
}

void WizardPage::OnBack()
{
    const int32_t back = BackPageOf(PageId);
    if (back != kNoBack) GoToPage(back);
}

void WizardPage::OnCancel()
{
    if (ConfirmCancel()) CancelSetup();
}

bool WizardPage::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_BACK && code == BN_CLICKED) {
        OnBack();
        return true;
    }
    return false;
}

bool WizardPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    switch (message) {
    case WM_RUN_WORK_ID:
        OnRunWork();
        result = 0;
        return true;
    case WM_ACTIVATEAPP:
        if (MainWindow* main = WizardMainWindow()) {
            main->RealisePalette(Handle());
            InvalidateRect(main->Handle(), nullptr, TRUE);
        }
        return false;
    default: return false;
    }
}

void WizardPage::OnRunWork()
{
    Work outcome = Work::Stay;
    std::unique_ptr<CXException> failure;
    workRunning_ = true;
    BeginWork();
    try {
        outcome = RunWork();
    } catch (...) {
        failure = ConvertCurrentException();
    }
    workRunning_ = false;
    // Carries out a switch or an end asked for while the work ran; true when
    // this page is no longer the one on screen.
    EndWork();
    if (CurrentPage() != this) return;

    if (failure) {
        ReportFatal(IDS_SETUP_CANNOT_CONTINUE, failure.get());
        FailSetup();
        return;
    }
    if (outcome == Work::Next)
        GoToPage(NextPageOf(PageId));
    else if (Setup().UnattendedMode)
        OnNext();
}

void WizardPage::OnFinalMessage()
{
    PageDestroyed(this);
    delete this;
}

void WizardPage::RepaintMainWindow()
{
    MainWindow* main = WizardMainWindow();
    if (main && main->Handle()) {
        InvalidateRect(main->Handle(), nullptr, TRUE);
        UpdateWindow(main->Handle());
    }
}

void WizardPage::SetPictureButton(int bitmapId)
{
    HWND button = Item(IDC_PICTURE);
    if (!button) return;
    if (picture_) DeleteObject(picture_);
    picture_ =
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, 0));
    if (!picture_) return;
    SetWindowLongA(button, GWL_STYLE, GetWindowLongA(button, GWL_STYLE) | BS_BITMAP);
    SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_));
    BITMAP bm;
    GetObjectA(picture_, sizeof bm, &bm);
    SetWindowPos(button, nullptr, 0, 0, bm.bmWidth + 4, bm.bmHeight + 4, SWP_NOMOVE | SWP_NOZORDER);
}
