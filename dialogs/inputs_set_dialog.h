#pragma once

#include "dialogs/input_settings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace kestrum {

// "Input's settings": one input's name and whether its changes are mailed.
class InputsSetDialog : public QDialog {
    Q_OBJECT
public:
    explicit InputsSetDialog(InputSettings& settings, QWidget* parent = nullptr);

private:
    void accept() override;

    InputSettings& m_settings;
    QLineEdit* m_name = nullptr;
    QCheckBox* m_mail = nullptr;
};

}  // namespace kestrum
