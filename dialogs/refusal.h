#pragma once

#include "core/ui.h"

namespace kestrum {

// A settings window refuses what was entered: a beep and a critical message; the window stays.
inline bool refuse(Ui& ui, const QString& text, const QString& title) {
    ui.beep();
    ui.messageBox(text, title, MessageIcon::Critical, MessageButtons::Ok);
    return false;
}

}  // namespace kestrum
