#include "look.h"

#include "units.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>

namespace platform {

namespace {

QFont Font(const QStringList &families, double points)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(points);
    return font;
}

// The markers are designed a few pixels wide: a smaller indicator keeps an option button's digit
// whole where the platform style's own metrics would cut it.
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

    // The Windows styles keep margins inside a push button's bevel that leave a 17-pixel marker
    // too little room for its digit at the design's size; the text may fill the button up to its
    // two-pixel bevel, as on the classic Windows button.
    QRect subElementRect(
        SubElement element, const QStyleOption *option, const QWidget *widget) const override
    {
        if (element == SE_PushButtonContents)
            return option->rect.adjusted(2, 2, -2, -2);
        return QProxyStyle::subElementRect(element, option, widget);
    }

    static CompactStyle *instance()
    {
        static QPointer<CompactStyle> style;
        if (!style)
            style = new CompactStyle;
        return style.data();
    }
};

// Only the Windows styles need the compact push button; elsewhere the style's own is kept.
bool IsWindowsStyle()
{
    return QApplication::style()->name().startsWith(QStringLiteral("windows"), Qt::CaseInsensitive);
}

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
        palette.setColor(QPalette::WindowText, ToQRgb(*design.foreColor));
    if (design.backColor) {
        palette.setColor(QPalette::Window, ToQRgb(*design.backColor));
        // On a background of its own colour a label is left clear, so that where labels overlap
        // none covers another's text.
        label->setAutoFillBackground(palette.color(QPalette::Window)
            != label->parentWidget()->palette().color(QPalette::Window));
    }
    label->setPalette(palette);
    if (design.font) {
        // Faces tried in turn where the design's is missing, nearest first.
        QFont font = Font({ ToQString(design.font->face), QStringLiteral("Microsoft Sans Serif"),
                              QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                              QStringLiteral("Arial"), QStringLiteral("DejaVu Sans"),
                              QStringLiteral("Sans Serif") },
            design.font->points);
        font.setWeight(static_cast<QFont::Weight>(design.font->weight));
        label->setFont(font);
    }
}

// Where neither the design's face nor a near one is installed, a wider face may take its place:
// the point size goes down until the design's text fits its box as the control's style lays it out.
void FitText(QWidget *widget, const QString &text, bool wordWrap)
{
    constexpr double SmallestPoints = 4;
    constexpr double Step = 0.25;
    const QRect room = TextRoom(widget);
    const auto fits = [&](const QFont &font) {
        // A line's advance and height cost far less to measure than a layout of wrapped text, and
        // one character's advance, looked up without shaping, a tenth of a string's.
        const QFontMetrics metrics(font);
        const QSize needed = wordWrap
            ? metrics.boundingRect(room, Qt::AlignHCenter | Qt::TextWordWrap, text).size()
            : QSize(text.size() == 1 ? metrics.horizontalAdvance(text.front())
                                     : metrics.horizontalAdvance(text),
                metrics.height());
        return needed.width() <= room.width() && needed.height() <= room.height();
    };
    QFont font = widget->font();
    if (fits(font))
        return;
    // A bitmap face, as Windows' own MS Sans Serif, comes in a few sizes only and cannot shrink:
    // an outline face of the same list takes its place.
    const QFontInfo face(font);
    if (!QFontDatabase::isScalable(face.family(), face.styleName()))
        font.setStyleStrategy(QFont::ForceOutline);
    while (!fits(font) && font.pointSizeF() - Step >= SmallestPoints)
        font.setPointSizeF(font.pointSizeF() - Step);
    widget->setFont(font);
}

// A marker draws a focus frame of its own over the style's look: two pixels of the selection colour
// at its edge, plain on a control this small in every style and theme, where the Windows style's
// dotted rectangle is lost in the digit and Fusion's outline is one pixel. Like the styles' frames
// it shows once the keyboard has been used in the window.
template <class Button> class Marker : public Button {
public:
    using Button::Button;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        Button::paintEvent(event);
        if (!this->hasFocus() || !this->window()->testAttribute(Qt::WA_KeyboardFocusChange))
            return;
        QPainter painter(this);
        painter.setPen(QPen(this->palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(this->rect()).adjusted(1, 1, -1, -1));
    }
};

} // namespace

QWidget *CreateWidget(ControlKind kind, const QString &caption, QWidget *parent, bool marker)
{
    switch (kind) {
    case ControlKind::OptionButton:
        if (marker)
            return new Marker<QRadioButton>(caption, parent);
        return new QRadioButton(caption, parent);
    case ControlKind::PushButton:
        if (marker)
            return new Marker<QPushButton>(caption, parent);
        return new QPushButton(caption, parent);
    case ControlKind::TextBox:
        return new QLineEdit(caption, parent);
    case ControlKind::Label:
        return new QLabel(caption, parent);
    }
    return nullptr;
}

void SetControlsFont(QWidget *clientArea)
{
    // The designs' small push buttons and text boxes show their digits whole in a narrow face, or
    // in Tahoma, Windows' own dialog face, where Windows has no narrow one.
    clientArea->setFont(Font(
        { QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
            QStringLiteral("Arial Narrow"), QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
            QStringLiteral("Liberation Sans"), QStringLiteral("Sans Serif") },
        8));
}

void ApplyLook(QWidget *widget, const ControlDesign &design)
{
    if (design.kind == ControlKind::Label)
        ApplyLabelDesign(static_cast<QLabel *>(widget), design);
    if (design.kind == ControlKind::OptionButton
        || (design.kind == ControlKind::PushButton && IsWindowsStyle()))
        widget->setStyle(CompactStyle::instance());
    FitText(widget, ToQString(design.caption), design.wordWrap); // the text it was made with
}

} // namespace platform
