// A control object that the dialog's data exchange attaches to one of its child windows.
#pragma once

#include "platform/Win.h"

class Control {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    void Attach(HWND window) { window_ = window; }
    HWND Window() const { return window_; }

private:
    HWND window_ = nullptr;
};
