#include "form.h"

#include "canvas.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOption>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace platform {

namespace {

// Conversions between the forms' units and Qt's.

// Twips are 1/1440 inch and a logical pixel is 1/(logical dpi) inch: 15 twips at 96 dpi, 10 at
// 144 dpi (where the toolkit's own scaling is off and the desktop asks for larger type). Read from
// the primary screen once, so that every window is laid out and driven at one scale.
double TwipsPerPixel()
{
    static const double twipsPerPixel
        = 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInch();
    return twipsPerPixel;
}

QPointF ToPixels(float x, float y)
{
    return QPointF(x, y) / TwipsPerPixel();
}

// The whole pixel a widget is placed at: rounded, and kept within a range the toolkit's integer
// geometry can take, whatever the value in twips.
int ToPixelPosition(float twips)
{
    // Far beyond any screen, yet well inside int for every later sum of geometry.
    constexpr double Limit = 1 << 24;
    const double pixels = static_cast<double>(twips) / TwipsPerPixel();
    return std::isnan(pixels) ? 0
                              : static_cast<int>(std::lround(std::clamp(pixels, -Limit, Limit)));
}

QColor ToQColor(Colour colour)
{
    return { qBlue(colour), qGreen(colour), qRed(colour) }; // QRgb's layout, red and blue swapped
}

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFont Font(const QStringList &families, double points)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(points);
    return font;
}

// Option buttons are designed a few pixels wide, one digit beside the indicator: a smaller
// indicator keeps the digit whole where the platform style's own metrics would cut it.
class CompactStyle : public QProxyStyle {
public:
    CompactStyle() { setParent(qApp); } // lives as long as the toolkit, after every window

    int pixelMetric(
        PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        switch (metric) {
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return 11;
        case PM_RadioButtonLabelSpacing:
            return 3;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    static CompactStyle *instance()
    {
        static QPointer<CompactStyle> style;
        if (!style)
            style = new CompactStyle;
        return style.data();
    }
};

// The room a control's style leaves for its text, in its current geometry.
QRect TextRoom(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->contentsRect();
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
        // The line edit keeps two pixels of its own each side of the text.
        return edit->style()
            ->subElementRect(QStyle::SE_LineEditContents, &option, edit)
            .adjusted(2, 0, -2, 0);
    }
    QStyleOptionButton option;
    option.initFrom(widget);
    const bool radio = qobject_cast<const QRadioButton *>(widget) != nullptr;
    return widget->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents, &option, widget);
}

void ApplyLabelDesign(QLabel *label, const ControlDesign &design)
{
    if (design.centred)
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(design.wordWrap);
    QPalette palette = label->palette();
    if (design.foreColor)
        palette.setColor(QPalette::WindowText, ToQColor(*design.foreColor));
    if (design.backColor) {
        palette.setColor(QPalette::Window, ToQColor(*design.backColor));
        label->setAutoFillBackground(true);
    }
    label->setPalette(palette);
    if (design.font) {
        // Faces tried in turn where the design's is missing, nearest first.
        QFont font = Font({ ToQString(design.font->face), QStringLiteral("Microsoft Sans Serif"),
                              QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                              QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif") },
            design.font->points);
        font.setWeight(static_cast<QFont::Weight>(design.font->weight));
        label->setFont(font);
    }
}

// Where neither the design's face nor a near one is installed, a wider face may take its place:
// the point size goes down until the design's text fits its box as the control's style lays it out.
void FitText(QWidget *widget, const ControlDesign &design)
{
    constexpr double SmallestPoints = 4;
    constexpr double Step = 0.25;
    const QString text = widget->property("text").toString();
    const QRect room = TextRoom(widget);
    const auto fits = [&](const QFont &font) {
        // A line's advance and height cost far less to measure than a layout of wrapped text.
        const QFontMetrics metrics(font);
        const QSize needed = design.wordWrap
            ? metrics.boundingRect(room, Qt::AlignHCenter | Qt::TextWordWrap, text).size()
            : QSize(metrics.horizontalAdvance(text), metrics.height());
        return needed.width() <= room.width() && needed.height() <= room.height();
    };
    QFont font = widget->font();
    while (!fits(font) && font.pointSizeF() - Step >= SmallestPoints)
        font.setPointSizeF(font.pointSizeF() - Step);
    if (font.pointSizeF() != widget->font().pointSizeF())
        widget->setFont(font);
}

QWidget *CreateWidget(const ControlDesign &design, QWidget *parent)
{
    const QString caption = ToQString(design.caption);
    switch (design.kind) {
    case ControlKind::OptionButton:
        return new QRadioButton(caption, parent);
    case ControlKind::PushButton:
        return new QPushButton(caption, parent);
    case ControlKind::TextBox:
        return new QLineEdit(caption, parent);
    case ControlKind::Label:
        return new QLabel(caption, parent);
    }
    return nullptr;
}

// A press captures the mouse until the buttons are released. A release the window never saw (it
// came while the window was minimised or unmapped) leaves the toolkit sending moves to the pressed
// control; the first such move with no button held, away from the control, ends the capture with
// that release and goes again to whatever lies under the pointer.
bool EndsLostCapture(QWidget *control, const QMouseEvent &move)
{
    QWindow *window = control->window()->windowHandle();
    if (!move.spontaneous() || move.buttons() != Qt::NoButton
        || control->rect().contains(move.position().toPoint()) || window == nullptr)
        return false;
    const QPointF at = window->mapFromGlobal(move.globalPosition());
    QMouseEvent release(QEvent::MouseButtonRelease, at, move.globalPosition(), Qt::LeftButton,
        Qt::NoButton, move.modifiers());
    QCoreApplication::sendEvent(window, &release);
    QMouseEvent again(
        QEvent::MouseMove, at, move.globalPosition(), Qt::NoButton, Qt::NoButton, move.modifiers());
    QCoreApplication::sendEvent(window, &again);
    return true;
}

// Turns the mouse moves a control receives, hovering or while it holds the capture after a press,
// into the MouseMove event of its control array. The control keeps its own behaviour.
class MouseMoveFilter : public QObject {
public:
    MouseMoveFilter(const MouseMoveHandler &handler, int index, QWidget *control)
        : QObject(control)
        , m_handler(handler)
        , m_index(static_cast<std::int16_t>(index))
    {
        control->setMouseTracking(true); // hover moves too, not only those with a button held
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseMove || !m_handler)
            return QObject::eventFilter(watched, event);
        const auto *move = static_cast<QMouseEvent *>(event);
        auto *control = static_cast<QWidget *>(watched);
        if (EndsLostCapture(control, *move))
            return true;
        // Qt's button flags are the event's bits (left 1, right 2, middle 4), and its shift, ctrl
        // and alt flags lie in that order upwards from the shift flag.
        constexpr auto Buttons = Qt::LeftButton | Qt::RightButton | Qt::MiddleButton;
        constexpr auto Keys = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
        const auto button = static_cast<std::int16_t>((move->buttons() & Buttons).toInt());
        const auto shift
            = static_cast<std::int16_t>((move->modifiers() & Keys).toInt() / Qt::ShiftModifier);
        const QPoint before = control->pos();
        const QPointF at = move->position() * TwipsPerPixel(); // from the control's top-left corner
        m_handler(m_index, button, shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
        // A control the handler moved has left the position the event was measured from: passing
        // it on would make a pressed button judge the pointer by a stale position (and repaint
        // itself as released and pressed again while dragged). Its press and release stay its own.
        return control->pos() != before;
    }

private:
    const MouseMoveHandler &m_handler; // its array's, which outlives the control
    std::int16_t m_index;
};

} // namespace

Control::Control(QWidget *widget, const ControlDesign &design)
    : m_widget(widget)
    , m_left(design.left)
    , m_top(design.top)
{
    m_widget->setGeometry(ToPixelPosition(design.left), ToPixelPosition(design.top),
        ToPixelPosition(design.width), ToPixelPosition(design.height)); // sizes never change
}

void Control::SetLeft(float twips)
{
    m_left = twips;
    m_widget->move(ToPixelPosition(twips), m_widget->y());
}

void Control::SetTop(float twips)
{
    m_top = twips;
    m_widget->move(m_widget->x(), ToPixelPosition(twips));
}

// Text boxes, buttons and labels all hold their text in the property "text".
std::string Control::Text() const
{
    return m_widget->property("text").toString().toStdString();
}

void Control::SetText(std::string_view text)
{
    m_widget->setProperty("text", ToQString(text));
}

Form::Form(const FormDesign &design)
    : m_window(std::make_unique<QMainWindow>())
{
    m_window->setWindowTitle(ToQString(design.caption));
    // A fixed background brings a palette of its own, so that text left in the platform's colour
    // stays readable on it whatever the desktop's theme; otherwise the theme's palette holds.
    QPalette palette = m_window->palette();
    if (design.backColor)
        palette = QPalette(ToQColor(*design.backColor), ToQColor(*design.backColor));
    m_window->setPalette(palette);
    m_foreground = m_window->palette().color(QPalette::WindowText).rgb();

    m_canvas = new Canvas(m_window.get());
    m_window->setCentralWidget(m_canvas);
    // Inherited by every control without a font of its own: the designs' small push buttons and
    // text boxes show their digits whole in a narrow face.
    m_canvas->setFont(
        Font({ QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
                 QStringLiteral("Arial Narrow"), QStringLiteral("DejaVu Sans"),
                 QStringLiteral("Liberation Sans"), QStringLiteral("Sans Serif") },
            8));
    addControls(design);

    int menuHeight = 0;
    if (!design.menu.empty()) {
        QMenuBar *bar = m_window->menuBar();
        bar->setNativeMenuBar(false); // the menu bar belongs to the window, above its client area
        for (const MenuItemDesign &item : design.menu)
            bar->addAction(ToQString(item.caption))->setObjectName(ToQString(item.name));
        menuHeight = bar->sizeHint().height();
    }
    m_window->resize(
        ToPixelPosition(design.clientWidth), ToPixelPosition(design.clientHeight) + menuHeight);
}

Form::~Form() = default;

void Form::addControls(const FormDesign &design)
{
    std::multimap<int, QWidget *> tabOrder; // in creation order where tab indices are equal
    for (const ControlDesign &item : design.controls) {
        QWidget *widget = CreateWidget(item, m_canvas);
        std::string name(item.name); // "Text_x", or "Command1(5)" for an element of an array
        if (item.index >= 0)
            name += '(' + std::to_string(item.index) + ')';
        widget->setObjectName(QString::fromStdString(name));
        Control &created = m_controls.try_emplace(name, widget, item).first->second;
        // The look the design asks for, and a point size at which the text shows whole.
        if (item.kind == ControlKind::Label)
            ApplyLabelDesign(static_cast<QLabel *>(widget), item);
        if (item.kind == ControlKind::OptionButton)
            widget->setStyle(CompactStyle::instance());
        FitText(widget, item);
        if (item.index >= 0) {
            ControlArray &array = m_arrays[std::string(item.name)];
            array.m_elements[item.index] = &created;
            new MouseMoveFilter(array.m_mouseMove, item.index, widget);
        }
        if (widget->focusPolicy() != Qt::NoFocus)
            tabOrder.emplace(item.tabIndex, widget);
    }
    // Buttons lie above text boxes and labels, in their own creation order, so that a button
    // moved onto a text box can still be pressed there.
    for (QAbstractButton *button :
        m_canvas->findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly))
        button->raise();

    QWidget *previous = nullptr;
    for (const auto &[index, widget] : tabOrder) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        else
            widget->setFocus(); // focus starts at the lowest tab index
        previous = widget;
    }
}

void Form::Show()
{
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

bool Form::Visible() const
{
    return m_window->isVisible();
}

void Form::Cls()
{
    m_canvas->Cls();
    m_currentX = 0;
    m_currentY = 0;
}

void Form::Line(float x1, float y1, float x2, float y2, Colour colour)
{
    draw(x1, y1, x2, y2, ToQColor(colour).rgb());
}

void Form::Line(float x2, float y2)
{
    draw(m_currentX, m_currentY, x2, y2, m_foreground);
}

void Form::PSet(float x, float y)
{
    draw(x, y, x, y, m_foreground);
}

void Form::draw(float x1, float y1, float x2, float y2, QRgb colour)
{
    m_canvas->Line({ ToPixels(x1, y1), ToPixels(x2, y2) }, colour);
    m_currentX = x2;
    m_currentY = y2;
}

Control &Form::control(std::string_view name)
{
    return m_controls.at(std::string(name));
}

ControlArray &Form::controlArray(std::string_view name)
{
    return m_arrays.at(std::string(name));
}

void Form::OnClick(std::string_view menuItem, std::function<void()> handler)
{
    auto *action = m_window->menuBar()->findChild<QAction *>(ToQString(menuItem));
    if (!action)
        throw std::out_of_range("no menu item named " + std::string(menuItem));
    QObject::connect(action, &QAction::triggered, m_window.get(), std::move(handler));
}

} // namespace platform
