#pragma once

#include "core/ui.h"
#include "dialogs/circuit_geometry.h"

#include <QDialog>

class QLabel;
class QScrollBar;

namespace kestrum {

// "Kaugvoole's hardware": the circuit diagram of the board, moved by two scroll bars whose
// ranges come from the screen the window opens on.
class SkeemWindow : public QDialog {
    Q_OBJECT
public:
    SkeemWindow(Ui& ui, QSize screen, QWidget* parent = nullptr);

    static constexpr QSize kPictureSize{828, 783};

private:
    void HScroll1_Change(int value);
    void VScroll1_Change(int value);

    Ui& m_ui;
    QLabel* m_picture = nullptr;
    QScrollBar* m_horizontal = nullptr;
    QScrollBar* m_vertical = nullptr;
};

}  // namespace kestrum
