#pragma once

#include <QDialog>

namespace kestrum {

class LogViewer;

// The end of the event log in a read-only text box, loaded once when the window opens.
class LogiTekstWindow : public QDialog {
    Q_OBJECT
public:
    explicit LogiTekstWindow(const LogViewer& viewer, QWidget* parent = nullptr);
};

}  // namespace kestrum
