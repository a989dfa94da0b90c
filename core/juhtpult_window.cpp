#include "juhtpult_window.h"

#include "lamp_widget.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrum {

namespace {

constexpr int kLampSize = 18;

QIcon icon(const char* name) {
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

QLabel* picture(const char* name, QSize size, const QString& toolTip, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setPixmap(icon(name).pixmap(size));
    label->setToolTip(toolTip);
    return label;
}

// Setting a style sheet repolishes the widget even when the sheet is the same, and the panel
// changes at every strobe step.
void restyle(QWidget* widget, const QString& sheet) {
    if (widget->styleSheet() != sheet) {
        widget->setStyleSheet(sheet);
    }
}

QToolButton* pictureButton(const char* name, QSize size, const QString& toolTip, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setIcon(icon(name));
    button->setIconSize(size);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    return button;
}

// A label's colour as the panel keeps it, red in the low byte.
QString colourName(int panelColour) {
    return QColor(panelColour & 0xFF, (panelColour >> 8) & 0xFF, (panelColour >> 16) & 0xFF).name();
}

}  // namespace

JuhtpultWindow::JuhtpultWindow(Panel& panel, PanelActions& actions, QWidget* parent)
    : QWidget(parent), m_panel(panel), m_actions(actions) {
    setObjectName(QStringLiteral("Juhtpult"));
    setWindowTitle(QStringLiteral("Kestrum - " KESTRUM_VERSION));
    setWindowIcon(icon("kestrum"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildOutputs());
    auto* inputsHeading = new QLabel(QStringLiteral("Inputs"), this);
    inputsHeading->setObjectName(QStringLiteral("Label3"));
    QFont headingFont = inputsHeading->font();
    headingFont.setBold(true);
    inputsHeading->setFont(headingFont);
    layout->addWidget(inputsHeading);
    layout->addWidget(buildInputs());
    layout->addWidget(buildCommandBar());

    // Digits switch outputs whichever control has the focus, and no other key may press a
    // button: every key reaches the window's filter first.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
    m_subscription = m_panel.subscribe([this] { render(); });
    render();
}

JuhtpultWindow::~JuhtpultWindow() {
    m_panel.unsubscribe(m_subscription);
}

QWidget* JuhtpultWindow::buildOutputs() {
    auto* area = new QWidget(this);
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 8; ++i) {
        OutputControls& c = m_outputs[i];
        c.frame = new QGroupBox(area);
        c.frame->setObjectName(QStringLiteral("Frame%1").arg(i + 1));
        c.relee = new QPushButton(c.frame);
        c.relee->setObjectName(QStringLiteral("Relee%1").arg(i));
        c.relee->setToolTip(QStringLiteral("for switching output ON (S) or OFF (V)"));
        c.relee->setFixedSize(44, 36);
        QFont bold = c.relee->font();
        bold.setBold(true);
        bold.setPointSize(bold.pointSize() + 3);
        c.relee->setFont(bold);
        c.automatic = pictureButton(
            "auto", QSize(24, 24), QStringLiteral("Switch this output to timer controll"), c.frame);
        c.automatic->setObjectName(QStringLiteral("Auto%1").arg(i));
        c.ledSv = new LampWidget(kLampSize, c.frame);
        c.ledSv->setObjectName(QStringLiteral("LEDSV%1").arg(i));
        c.ledAuto = new LampWidget(kLampSize, c.frame);
        c.ledAuto->setObjectName(QStringLiteral("LEDAUTO%1").arg(i));
        c.ledAuto->setColour(0xC08040);  // a blue lamp: automatic control
        c.failure =
            picture("failure", QSize(24, 24), QStringLiteral("Output FAIL warning"), c.frame);
        c.failure->setObjectName(QStringLiteral("Picture1%1").arg(i));
        c.failure->setFixedSize(24, 24);
        QSizePolicy keepSpace = c.failure->sizePolicy();
        keepSpace.setRetainSizeWhenHidden(true);
        c.failure->setSizePolicy(keepSpace);

        c.pulse = new QLabel(c.frame);
        c.pulse->setObjectName(QStringLiteral("Pulss%1").arg(i));
        c.pulse->setToolTip(QStringLiteral("Time left until this output switches off by itself"));
        // Room for the longest from the start: a pulse must not widen the window.
        c.pulse->setMinimumWidth(
            c.pulse->fontMetrics().horizontalAdvance(QStringLiteral("24:00:00")));

        auto* row = new QHBoxLayout(c.frame);
        row->addWidget(c.relee);
        row->addWidget(c.ledSv);
        row->addSpacing(6);
        row->addWidget(c.automatic);
        row->addWidget(c.ledAuto);
        row->addStretch();
        row->addWidget(c.pulse);
        row->addWidget(c.failure);

        const int index = i;
        connect(c.relee, &QPushButton::clicked, this,
                [this, index] { m_actions.switchClicked(index); });
        connect(c.automatic, &QToolButton::clicked, this,
                [this, index] { m_actions.autoClicked(index); });
        c.relee->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(c.relee, &QPushButton::customContextMenuRequested, this,
                [this, index](const QPoint& at) {
                    QMenu menu(this);
                    QAction* pulse = menu.addAction(QStringLiteral("On for a while..."));
                    if (menu.exec(m_outputs[index].relee->mapToGlobal(at)) == pulse) {
                        choosePulse(index);
                    }
                });
        grid->addWidget(c.frame, i / 4, i % 4);
    }
    return area;
}

QWidget* JuhtpultWindow::buildInputs() {
    auto* area = new QWidget(this);
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 8; ++i) {
        InputControls& c = m_inputs[i];
        c.frame = new QGroupBox(area);
        c.frame->setObjectName(QStringLiteral("Frame9_%1").arg(i));
        c.lamp = new LampWidget(kLampSize, c.frame);
        c.lamp->setObjectName(QStringLiteral("Sisend%1").arg(i));
        c.lamp->setColour(0x00C0FF);  // amber: the input is active
        c.mailMark = picture("mail_mark", QSize(16, 12), QString(), c.frame);
        c.mailMark->setObjectName(QStringLiteral("Image2%1").arg(i));
        QSizePolicy keepSpace = c.mailMark->sizePolicy();
        keepSpace.setRetainSizeWhenHidden(true);
        c.mailMark->setSizePolicy(keepSpace);
        auto* row = new QHBoxLayout(c.frame);
        row->addWidget(c.lamp);
        row->addStretch();
        row->addWidget(c.mailMark);
        grid->addWidget(c.frame, i / 4, i % 4);
    }
    return area;
}

QWidget* JuhtpultWindow::buildCommandBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 6, 0, 0);

    auto* allOff = pictureButton("all_off", QSize(32, 32), QStringLiteral("All outputs OFF"), bar);
    allOff->setObjectName(QStringLiteral("ComOFF"));
    connect(allOff, &QToolButton::clicked, this, [this] { m_actions.allOffClicked(); });
    row->addWidget(allOff);

    m_mailIndicator =
        pictureButton("mail", QSize(36, 24), QStringLiteral("Check mail NOW!!!"), bar);
    m_mailIndicator->setObjectName(QStringLiteral("Image1"));
    connect(m_mailIndicator, &QToolButton::clicked, this,
            [this] { m_actions.mailIndicatorClicked(); });
    QSizePolicy keepSpace = m_mailIndicator->sizePolicy();
    keepSpace.setRetainSizeWhenHidden(true);
    m_mailIndicator->setSizePolicy(keepSpace);
    row->addWidget(m_mailIndicator);
    row->addSpacing(12);

    const auto label = [&](const QString& text, const char* name) {
        auto* l = new QLabel(text, bar);
        l->setObjectName(QLatin1String(name));
        row->addWidget(l);
        return l;
    };
    label(QStringLiteral("Port:"), "Label2");
    m_portLabel = label(QString(), "PortLabel");
    m_portLabel->setMinimumWidth(24);
    row->addSpacing(12);
    label(QStringLiteral("Today:"), "Label1");
    m_dateLabel = label(QString(), "Kuupaev");
    row->addSpacing(12);
    m_clockLabel = label(QString(), "Kell");
    QFont clockFont = m_clockLabel->font();
    clockFont.setBold(true);
    m_clockLabel->setFont(clockFont);
    row->addSpacing(12);
    m_failureLabel = label(QString(), "ErrLabel");
    QFont failureFont = m_failureLabel->font();
    failureFont.setBold(true);
    m_failureLabel->setFont(failureFont);
    row->addStretch();

    const auto button = [&](const QString& text, const QString& toolTip, const char* name) {
        auto* b = new QPushButton(text, bar);
        b->setToolTip(toolTip);
        b->setObjectName(QLatin1String(name));
        row->addWidget(b);
        return b;
    };
    auto* settings = button(QStringLiteral("Settings"),
                            QStringLiteral("Lülitamise kellaaegade jms. seadmine"), "ComLisad");
    connect(settings, &QPushButton::clicked, this, [this] { m_actions.settingsClicked(); });
    auto* about = button(QStringLiteral("?"), QStringLiteral("Info programmi kohta"), "ComLegal");
    about->setFixedWidth(32);
    connect(about, &QPushButton::clicked, this, [this] { m_actions.aboutClicked(); });
    auto* exit = button(QStringLiteral("Exit"), QStringLiteral("Töö lõpetamine"), "ComLopp");
    connect(exit, &QPushButton::clicked, this, [this] { m_actions.exitClicked(); });
    return bar;
}

void JuhtpultWindow::choosePulse(int index) {
    bool chosen = false;
    const int minutes = QInputDialog::getInt(
        this, QStringLiteral("On for a while"),
        QStringLiteral("%1: on for how many minutes? It switches off by itself then.")
            .arg(m_panel.outputs[index].frameCaption.trimmed()),
        20, 1, 24 * 60, 1, &chosen);
    if (chosen) {
        m_actions.pulseChosen(index, minutes);
    }
}

void JuhtpultWindow::render() {
    for (int i = 0; i < 8; ++i) {
        const OutputIndicators& o = m_panel.outputs[i];
        OutputControls& c = m_outputs[i];
        c.frame->setTitle(o.frameCaption);
        c.relee->setText(o.switchCaption);
        c.ledSv->setColour(o.lampColour);
        c.ledAuto->setLit(o.autoLampLit);
        c.failure->setVisible(o.failureShown);
        c.pulse->setText(o.pulseRemaining);

        const InputIndicators& in = m_panel.inputs[i];
        m_inputs[i].frame->setTitle(in.frameCaption);
        m_inputs[i].lamp->setLit(in.lampLit);
        m_inputs[i].mailMark->setVisible(in.mailMarkShown);
    }
    m_mailIndicator->setVisible(m_panel.mailIndicatorShown);
    m_portLabel->setText(m_panel.portLabel);
    restyle(m_portLabel, !m_panel.portErrorText.isEmpty()
                             ? QStringLiteral("color: #c62828; font-weight: bold")
                             : QString());
    m_portLabel->setToolTip(m_panel.portErrorText);
    m_dateLabel->setText(m_panel.dateLabel);
    m_clockLabel->setText(m_panel.clockLabel);
    m_failureLabel->setText(m_panel.failureLabel);
    restyle(m_failureLabel,
            QStringLiteral("color: %1").arg(colourName(m_panel.failureLabelColour)));
}

bool JuhtpultWindow::handleKey(QEvent* event) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->text().isEmpty()) {
        return false;
    }
    const QChar c = key->text().front();
    if (event->type() == QEvent::KeyPress && c >= QLatin1Char('1') && c <= QLatin1Char('8')) {
        m_actions.switchClicked(c.unicode() - '1');
    }
    return true;
}

bool JuhtpultWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        return handleKey(event);
    }
    return QWidget::eventFilter(watched, event);
}

void JuhtpultWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_hidesWhenMinimised) {
        hide();
    }
}

void JuhtpultWindow::restoreFromTray() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void JuhtpultWindow::closeEvent(QCloseEvent* event) {
    if (!m_closing) {
        m_closing = true;
        m_actions.windowClosing();
    }
    event->accept();
}

}  // namespace kestrum
