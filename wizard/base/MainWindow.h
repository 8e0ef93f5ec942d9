// The full-screen backdrop: a maximised window without caption bar painted
// with a blue-to-black gradient and the setup title with a drop shadow. It
// owns every wizard page; its destruction ends the program.
#pragma once
#include "framework/Window.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

class GradientPalette {
public:
    GradientPalette() = default;
    GradientPalette(const GradientPalette&) = delete;
    GradientPalette& operator=(const GradientPalette&) = delete;
    ~GradientPalette();
    // Builds the palette for this display; no handle on displays without one.
    void Build(HDC dc);
    HPALETTE Handle() const { return palette_; }

private:
    HPALETTE palette_ = nullptr;
};

class MainWindow : public fw::Window {
public:
    bool Create(const std::string& title, bool minimised);
    HPALETTE Palette() const { return palette_ ? palette_->Handle() : nullptr; }
    // Selects and realises the palette in a window DC; true when entries changed.
    bool RealisePalette(HWND window);

    int32_t AppActive = 0;
    // The window is gone: the program ends.
    std::function<void()> OnDestroyed;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
    void PaintTitle(HDC dc);

    std::string title_;
    GradientPalette* palette_ = nullptr;
};
