#include "wizard/WizardPage.h"

#include "engine/ErrorReport.h"
#include "engine/SetupApp.h"
#include "engine/SystemHelpers.h"
#include "engine/UserMessage.h"
#include "framework/Text.h"
#include "resources/ids.h"
#include "wizard/MainWindow.h"
#include "wizard/Wizard.h"

WizardPage::WizardPage(int32_t pageId, int32_t nextPageId) : fw::Dialog(pageId), PageId(pageId), NextPageId(nextPageId)
{
}

WizardPage::WizardPage(int32_t pageId, int32_t nextPageId, int templateId)
    : fw::Dialog(templateId), PageId(pageId), NextPageId(nextPageId)
{
}

WizardPage::~WizardPage()
{
    if (picture_) DeleteObject(picture_);
}

void WizardPage::PositionPage()
{
    // Centred over the owner (the main window), or the screen without one.
    PlaceWindow(Handle(), GetWindow(Handle(), GW_OWNER), 1, 2, 1, 2);
}

bool WizardPage::ConfirmCancel()
{
    bool yes = ShowUserMessage(Handle(), fw::LoadText(IDS_CONFIRM_CANCEL), fw::LoadText(IDS_MAIN_TITLE),
                               MB_YESNO | MB_ICONQUESTION, IDNO) == IDYES;
    SetupApp* app = SetupApp::Instance();
    if (yes && app) app->Cancelled = 1;
    return yes;
}

bool WizardPage::OnInitDialog()
{
    PositionPage();
    SetupApp* app = SetupApp::Instance();
    if (app && app->UnattendedMode) SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOZORDER);
    ShowWindow(Handle(), SW_SHOW);
    PostMessageA(Handle(), WM_RUN_WORK_ID, 0, 0);
    return true;
}

void WizardPage::OnNext() { GoToPage(NextPageId); }

void WizardPage::OnBack()
{
    NextPageId = PreviousPageId;
    OnNext();
}

bool WizardPage::GoBackIfLeaving()
{
    if (!leftByBack_) return false;
    GoToPage(NextPageId);
    return true;
}

void WizardPage::OnCancel()
{
    if (ConfirmCancel()) FailSetup();
}

bool WizardPage::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_BACK && code == BN_CLICKED) {
        leftByBack_ = true;
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
    case WM_ACTIVATEAPP: {
        SetupApp* app = SetupApp::Instance();
        if (app && app->Window()) {
            app->Window()->RealisePalette(Handle());
            InvalidateRect(app->Window()->Handle(), nullptr, TRUE);
        }
        return false;
    }
    default: return false;
    }
}

void WizardPage::OnRunWork()
{
    int32_t outcome = 116;
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
    SetupApp* app = SetupApp::Instance();
    if (outcome != 0)
        GoToPage(outcome);
    else if (app && app->UnattendedMode)
        OnNext();
}

void WizardPage::OnFinalMessage()
{
    PageDestroyed(this);
    delete this;
}

void WizardPage::RepaintMainWindow()
{
    SetupApp* app = SetupApp::Instance();
    if (app && app->MainWindowHandle) {
        InvalidateRect(app->MainWindowHandle, nullptr, TRUE);
        UpdateWindow(app->MainWindowHandle);
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
