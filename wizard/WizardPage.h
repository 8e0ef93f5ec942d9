// The base of every wizard page: a modeless dialog from the template whose
// number is the page id. A page knows the page that follows (NextPageId) and
// the one it came from (PreviousPageId); a work page runs its work once,
// right after it has been shown, from the posted run-work message.
#pragma once
#include "framework/Dialog.h"

#include <cstdint>

class WizardPage : public fw::Dialog {
public:
    WizardPage(int32_t pageId, int32_t nextPageId);
    // A page shown from another template than its id (tests).
    WizardPage(int32_t pageId, int32_t nextPageId, int templateId);
    ~WizardPage() override;

    int32_t PageId;
    int32_t NextPageId;
    int32_t PreviousPageId = 0;

    // Places the page: centred over the main window.
    virtual void PositionPage();
    // The page's work: a page id to go to, or 0 to stay.
    virtual int32_t RunWork() { return 0; }
    // "installation not complete. Do you really want to exit Setup?"
    virtual bool ConfirmCancel();
    // False makes the driver skip the page before its window exists.
    virtual bool ShouldShow() { return true; }
    // Next (button 1, Enter); the default goes to NextPageId.
    virtual void OnNext();
    // Back (button 1027): NextPageId := PreviousPageId, then the page's own Next.
    void OnBack();

    bool WorkRunning() const { return workRunning_; }
    // The page is being left through Back: its Next handling, which Back runs
    // too, stores nothing and validates nothing then.
    bool LeftByBack() const { return leftByBack_; }
    // In a page's Next handling: when leaving through Back, goes to the
    // previous page and returns true.
    bool GoBackIfLeaving();

protected:
    bool OnInitDialog() override;
    void OnOK() override { OnNext(); }
    void OnCancel() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void OnFinalMessage() override;

    // Turns control 1028 into a picture button showing this bitmap.
    void SetPictureButton(int bitmapId);
    // Erases and repaints the main window at once (work pages that follow a
    // page which covered it).
    static void RepaintMainWindow();

private:
    void OnRunWork();

    bool workRunning_ = false;
    bool leftByBack_ = false;
    HBITMAP picture_ = nullptr;
};
