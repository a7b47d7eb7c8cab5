#include "appearance.h"

#include "units.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
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

bool Fits(const QString &text, const QFont &font, const QRect &room, bool wrapped)
{
    const int flags = Qt::AlignHCenter | (wrapped ? Qt::TextWordWrap : 0);
    const QRect needed = QFontMetrics(font).boundingRect(room, flags, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
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
    QFont font = widget->font();
    while (!Fits(text, font, room, design.wordWrap) && font.pointSizeF() - Step >= SmallestPoints)
        font.setPointSizeF(font.pointSizeF() - Step);
    if (font.pointSizeF() != widget->font().pointSizeF())
        widget->setFont(font);
}

} // namespace

void ApplyAppearance(QWidget *widget, const ControlDesign &design)
{
    if (design.kind == ControlKind::Label)
        ApplyLabelDesign(static_cast<QLabel *>(widget), design);
    if (design.kind == ControlKind::OptionButton)
        widget->setStyle(CompactStyle::instance());
    FitText(widget, design);
}

void ApplyClientAreaAppearance(QWidget *clientArea)
{
    // Set once here and inherited by every control without a font of its own: the designs' small
    // push buttons and text boxes show their digits whole in a narrow face.
    clientArea->setFont(
        Font({ QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
                 QStringLiteral("Arial Narrow"), QStringLiteral("DejaVu Sans"),
                 QStringLiteral("Liberation Sans"), QStringLiteral("Sans Serif") },
            8));
}

} // namespace platform
