// The About box, opened from the main dialog's system menu.
#pragma once

#include "platform/Dialog.h"

class AboutDialog : public Dialog {
public:
    explicit AboutDialog(HWND parent);
    ~AboutDialog() override;

protected:
    BOOL OnInitDialog() override;
};
