#pragma once

#include <QDialog>

namespace kestrum {

// The about window.
class LegalWindow : public QDialog {
    Q_OBJECT
public:
    explicit LegalWindow(QWidget* parent = nullptr);
};

}  // namespace kestrum
