#pragma once

#include <QWidget>

namespace kestrum {

// A round lamp: filled with its colour when lit, only its rim when not.
class LampWidget : public QWidget {
    Q_OBJECT
public:
    explicit LampWidget(int diameter, QWidget* parent = nullptr);

    // The colour as the panel keeps it: red in the low byte, green, then blue.
    void setColour(int panelColour);
    void setLit(bool lit);
    bool isLit() const { return m_lit; }
    QColor colour() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_colour;
    bool m_lit = true;
};

}  // namespace kestrum
