// The base of every wizard page: a modeless dialog from the template whose
// number is the page id. The contract every page keeps:
//  - InitPage fills the controls from the setup data, before the page is
//    shown; nothing is stored there.
//  - Next (button 1, Enter): Validate, and only when it passes Store, then
//    the page table's next page. Back (button 1027) leaves for the table's
//    Back page and stores nothing.
//  - A work page does its work once, right after it has been shown, in
//    RunWork; Next moves on to the table's next page. A failure goes through
//    FailSetup (or an exception, which is reported), never a page id.
//  - The page reads and writes the run's state through Setup().
#pragma once
#include "framework/Dialog.h"

#include <cstdint>

class SetupContext;

class WizardPage : public fw::Dialog {
public:
    explicit WizardPage(int32_t pageId);
    // A page shown from another template than its id (tests).
    WizardPage(int32_t pageId, int templateId);
    ~WizardPage() override;

    const int32_t PageId;

    enum class Work {
        Stay, // wait for the user (unattended: Next is pressed at once)
        Next, // the work is done: on to the next page
    };

    // Places the page: centred over the main window.
    virtual void PositionPage();
    // The page's work.
    virtual Work RunWork() { return Work::Stay; }
    // "installation not complete. Do you really want to exit Setup?"
    virtual bool ConfirmCancel();
    // False makes the driver pass over the page before its window exists.
    virtual bool ShouldShow() { return true; }
    // Next: Validate, Store, then the next page.
    void OnNext();
    // Back: the table's Back page; nothing is stored.
    void OnBack();

    bool WorkRunning() const { return workRunning_; }

protected:
    // The run's state.
    static SetupContext& Setup();

    // Fills the controls from the setup data (before the page is shown).
    virtual void InitPage() {}
    // False keeps the page (after telling the user why).
    virtual bool Validate() { return true; }
    // Takes the page's choices into the setup data.
    virtual void Store() {}

    bool OnInitDialog() final;
    void OnOK() override { OnNext(); }
    void OnCancel() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void OnFinalMessage() override;

    // InitPage: this control gets the focus instead of the first one.
    void FocusItem(int id);
    // Turns control 1028 into a picture button showing this bitmap.
    void SetPictureButton(int bitmapId);
    // Erases and repaints the main window at once (work pages that follow a
    // page which covered it).
    static void RepaintMainWindow();

private:
    void OnRunWork();

    bool workRunning_ = false;
    bool focusSet_ = false;
    HBITMAP picture_ = nullptr;
};
