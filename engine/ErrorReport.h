// Reporting an engine failure to the user: dialog 1544 "Warning" with the
// message, the exception's title and explanation and the error-information
// line "<message id>.<cause> (<class>)"; More>> shows the lower part.
#pragma once
#include "engine/base/XException.h"
#include "framework/Dialog.h"

#include <windows.h>

#include <string>

struct ErrorReport {
    std::string Message;
    std::string Title;
    std::string Explanation;
    std::string Information;
    bool OfferCancel = false;
    HICON Icon = nullptr;
};

// Builds the report for a message id, its filled format, and an exception of
// either family (converted to the engine family when needed).
ErrorReport MakeErrorReport(int messageId, const std::string& message, const fw::Exception* e, bool offerCancel);

class ErrorDialog : public fw::Dialog {
public:
    explicit ErrorDialog(ErrorReport report);
    bool Expanded() const { return expanded_; }
    void Toggle();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    HBRUSH OnControlColor(HDC dc, HWND control, UINT message) override;
    void OnFinalMessage() override;

private:
    ErrorReport report_;
    RECT full_{};
    bool expanded_ = true;
    HFONT font_ = nullptr;
    HBRUSH faceBrush_ = nullptr;
};

// With the Cancel choice: true when the user chose to continue (OK).
bool ReportError(int messageId, const fw::Exception* e, ...);
// Without the Cancel choice.
void ReportFatal(int messageId, const fw::Exception* e, ...);
