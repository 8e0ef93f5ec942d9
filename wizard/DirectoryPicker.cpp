#include "wizard/DirectoryPicker.h"

#include "engine/SystemHelpers.h"
#include "framework/Prompt.h"
#include "resources/ids.h"

#include <commdlg.h>

#include <cstring>

namespace {

// Controls of the classic file dialog that the picker hides.
const int kHiddenControls[] = {1152 /* file name */,
                               1120 /* file list */,
                               1136 /* file types */,
                               1089 /* its label */,
                               1088 /* current directory */,
                               1038 /* Help */,
                               1040 /* read only */};
constexpr int kCurrentDirectory = 1088; // the classic dialog's current-directory text

struct PickerState {
    std::string subdirectory;
};

std::string Join(std::string directory, const std::string& subdirectory)
{
    if (subdirectory.empty()) return directory;
    if (!directory.empty() && directory.back() != '\\') directory += '\\';
    return directory + subdirectory;
}

std::string ControlText(HWND dialog, int id)
{
    char text[MAX_PATH] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void ShowFullPath(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_PICK_FULL_PATH,
                    Join(ControlText(dialog, kCurrentDirectory), ControlText(dialog, IDC_PICK_SUBDIRECTORY)).c_str());
}

UINT_PTR CALLBACK PickerHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto* ofn = reinterpret_cast<OPENFILENAMEA*>(lParam);
        auto* state = reinterpret_cast<PickerState*>(ofn->lCustData);
        SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
        for (int id : kHiddenControls)
            if (HWND control = GetDlgItem(dialog, id)) ShowWindow(control, SW_HIDE);
        SetDlgItemTextA(dialog, IDC_PICK_SUBDIRECTORY, state->subdirectory.c_str());
        PlaceWindow(dialog, GetWindow(dialog, GW_OWNER), 1, 2, 1, 2);
        ShowFullPath(dialog);
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == IDOK) {
            auto* state = reinterpret_cast<PickerState*>(GetWindowLongPtrA(dialog, DWLP_USER));
            if (state) state->subdirectory = ControlText(dialog, IDC_PICK_SUBDIRECTORY);
        } else if ((id == IDC_PICK_SUBDIRECTORY && code == EN_CHANGE) || id == 1121 || id == 1137) {
            // The list changes its directory after this notification: look again
            // once the dialog has done so.
            PostMessageA(dialog, WM_USER + 1, 0, 0);
        }
        return FALSE;
    }
    case WM_USER + 1: ShowFullPath(dialog); return TRUE;
    default: return FALSE;
    }
}

bool RunPicker(HWND owner, std::string& path)
{
    PickerState state;
    std::string start = path;
    while (start.size() > 3 && start.back() == '\\') start.pop_back();
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    {
        QuietDriveProbe quiet;
        attributes = GetFileAttributesA(start.c_str());
    }
    if (start.empty() || attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        std::size_t slash = start.find_last_of('\\');
        if (slash != std::string::npos) {
            state.subdirectory = start.substr(slash + 1);
            start = start.substr(0, slash == 2 ? 3 : slash);
        }
    }
    char file[MAX_PATH] = "jet31415.926";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = GetModuleHandleA(nullptr);
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = start.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_SHOWHELP | OFN_ENABLETEMPLATE | OFN_ENABLEHOOK | OFN_NOCHANGEDIR;
    ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_DIRECTORY_PICKER);
    ofn.lpfnHook = PickerHook;
    ofn.lCustData = reinterpret_cast<LPARAM>(&state);
    if (!GetSaveFileNameA(&ofn)) return false;
    std::string chosen(file, ofn.nFileOffset > 0 ? ofn.nFileOffset : 0);
    while (chosen.size() > 3 && chosen.back() == '\\') chosen.pop_back();
    path = Join(chosen, state.subdirectory);
    return true;
}

} // namespace

bool PickDirectory(HWND owner, std::string& path)
{
    return fw::PickThroughSeam(IDD_DIRECTORY_PICKER, path, &RunPicker, owner);
}
