#include "wizard/base/MainWindow.h"

#include "engine/SetupContext.h"
#include "resources/ids.h"
#include "wizard/base/Gradient.h"
#include "wizard/base/Wizard.h"

#include <vector>

namespace {
const char kMainWindowClass[] = "KorvisanSetupMain";
}

GradientPalette::~GradientPalette()
{
    if (palette_) DeleteObject(palette_);
}

void GradientPalette::Build(HDC dc)
{
    int size = GetDeviceCaps(dc, SIZEPALETTE);
    HPALETTE system = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    int defaults = static_cast<int>(GetPaletteEntries(system, 0, 0, nullptr));
    std::vector<Rgb> extra = GradientPaletteEntries(size, defaults, kGradientTop, kGradientBottom);
    if (extra.empty()) return;

    std::vector<unsigned char> buffer(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<size_t>(size));
    LOGPALETTE* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(size);
    GetPaletteEntries(system, 0, static_cast<UINT>(defaults), lp->palPalEntry);
    for (size_t i = 0; i < extra.size(); ++i) {
        PALETTEENTRY& e = lp->palPalEntry[static_cast<size_t>(defaults) + i];
        e.peRed = static_cast<BYTE>(extra[i].red);
        e.peGreen = static_cast<BYTE>(extra[i].green);
        e.peBlue = static_cast<BYTE>(extra[i].blue);
        e.peFlags = 0;
    }
    palette_ = CreatePalette(lp);
}

bool MainWindow::Create(const std::string& title, bool minimised)
{
    title_ = title;
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SETUP));
    if (!RegisterWindowClass(kMainWindowClass, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, icon,
                             LoadCursor(nullptr, IDC_ARROW), nullptr))
        return false;
    DWORD style = WS_MAXIMIZE | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    if (!fw::Window::Create(0, kMainWindowClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, nullptr, nullptr))
        return false;
    ShowWindow(Handle(), minimised ? SW_SHOWMINIMIZED : SW_SHOWMAXIMIZED);
    UpdateWindow(Handle());
    return true;
}

bool MainWindow::RealisePalette(HWND window)
{
    if (!Palette()) return false;
    HDC dc = GetDC(window);
    HPALETTE old = SelectPalette(dc, Palette(), FALSE);
    UINT changed = RealizePalette(dc);
    SelectPalette(dc, old, FALSE);
    ReleaseDC(window, dc);
    return changed > 0;
}

void MainWindow::PaintTitle(HDC dc)
{
    int height = -MulDiv(22, GetDeviceCaps(dc, LOGPIXELSY), 72);
    HFONT font = CreateFontA(height, 0, 0, 0, 700, TRUE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
    HFONT oldFont = static_cast<HFONT>(SelectObject(dc, font));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, RGB(0, 0, 0));
    int thumbX = GetSystemMetrics(SM_CXHTHUMB);
    int thumbY = GetSystemMetrics(SM_CYVTHUMB);
    TextOutA(dc, thumbX + 2 * GetSystemMetrics(SM_CXDLGFRAME), thumbY + 2 * GetSystemMetrics(SM_CYDLGFRAME),
             title_.c_str(), static_cast<int>(title_.size()));
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, thumbX, thumbY, title_.c_str(), static_cast<int>(title_.size()));
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    SetTextColor(dc, oldColor);
    DeleteObject(font);
}

void MainWindow::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    HPALETTE oldPalette = nullptr;
    if (Palette()) {
        oldPalette = SelectPalette(dc, Palette(), FALSE);
        RealizePalette(dc);
    }
    RECT client;
    GetClientRect(Handle(), &client);
    int h = client.bottom - client.top;
    for (int y = 0; y < h; ++y) {
        Rgb c = GradientRow(y, h, kGradientTop, kGradientBottom);
        COLORREF color = AppActive == 1 ? PALETTERGB(c.red, c.green, c.blue) : RGB(c.red, c.green, c.blue);
        HBRUSH brush = CreateSolidBrush(color);
        RECT row = {ps.rcPaint.left, y, ps.rcPaint.right, y + 1};
        FillRect(dc, &row, brush);
        DeleteObject(brush);
    }
    PaintTitle(dc);
    if (oldPalette) SelectPalette(dc, oldPalette, FALSE);
    EndPaint(Handle(), &ps);
}

LRESULT MainWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        delete palette_;
        palette_ = new GradientPalette;
        HDC dc = GetDC(Handle());
        palette_->Build(dc);
        ReleaseDC(Handle(), dc);
        return 0;
    }
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1; // every row is painted on every paint
    case WM_ACTIVATEAPP: AppActive = wParam ? 1 : 0; break;
    case WM_QUERYNEWPALETTE:
        if (RealisePalette(Handle())) InvalidateRect(Handle(), nullptr, TRUE);
        break;
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != Handle() && RealisePalette(Handle()))
            InvalidateRect(Handle(), nullptr, TRUE);
        break;
    case WM_CLOSE:
        // Closing the setup is cancelling it.
        if (SetupContext* setup = SetupContext::Current()) setup->Cancelled = 1;
        // Closing under running page work would pull the page away from it.
        if (RequestEndWizard()) return 0;
        break;
    case WM_DESTROY:
        delete palette_;
        palette_ = nullptr;
        if (OnDestroyed) OnDestroyed();
        break;
    default: break;
    }
    return fw::Window::WindowProc(message, wParam, lParam);
}
