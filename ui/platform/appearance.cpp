#include "appearance.h"

#include "units.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QPointer>
#include <QProxyStyle>

namespace platform {

namespace {

// Faces tried in turn where a design names one that is missing, nearest first.
QStringList FontFamilies(std::string_view face)
{
    return { QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size())),
        QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
        QStringLiteral("Arial"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif") };
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

QFont CompactFont()
{
    QFont font;
    font.setFamilies(
        { QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
            QStringLiteral("Arial Narrow"), QStringLiteral("Sans Serif") });
    font.setPointSizeF(8);
    return font;
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
        QFont font;
        font.setFamilies(FontFamilies(design.font->face));
        font.setPointSizeF(design.font->points);
        font.setWeight(static_cast<QFont::Weight>(design.font->weight));
        label->setFont(font);
    }
}

} // namespace

void ApplyAppearance(QWidget *widget, const ControlDesign &design)
{
    if (design.kind == ControlKind::Label) {
        ApplyLabelDesign(static_cast<QLabel *>(widget), design);
        return;
    }
    if (design.kind == ControlKind::OptionButton)
        widget->setStyle(CompactStyle::instance());
}

void ApplyClientAreaAppearance(QWidget *clientArea)
{
    // Set once here and inherited by every control without a font of its own: the designs' small
    // push buttons and text boxes show their digits whole in a narrow face.
    clientArea->setFont(CompactFont());
}

} // namespace platform
