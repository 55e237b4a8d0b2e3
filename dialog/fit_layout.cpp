// SPDX-License-Identifier: MIT
#include "dialog/fit_layout.h"

#include <QGroupBox>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <algorithm>

namespace vexalo {
namespace {

// A frame's inner area, below its title and inside its border, in the frame's coordinates;
// `titleWidth` receives how far the title reaches from the frame's left edge.
QRect FrameContents(const QGroupBox* frame, int* titleWidth = nullptr)
{
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.textAlignment = frame->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.lineWidth = 1;
    const QStyle* style = frame->style();
    if (titleWidth) {
        // The glyphs end where the pen's advance does; the style's label rectangle adds a
        // pixel of slack that the frame's edge may clip without touching a glyph.
        const QRect label =
            style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
        *titleWidth = label.left() + frame->fontMetrics().horizontalAdvance(frame->title());
    }
    return style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, frame);
}

// How much the layout must grow for `control` to show its whole caption, `need`, inside
// `bound`: the ratio of what it needs to what it has, at most 1 when it fits.
double Shortfall(const QWidget* control, QSize need, const QRect& bound)
{
    const QRect r = control->geometry();
    const auto ratio = [](int wanted, int had) { return double(wanted) / std::max(had, 1); };
    return std::max({ratio(need.width(), r.width()), ratio(need.height(), r.height()),
                     ratio(bound.top(), r.top()), ratio(bound.left(), r.left()),
                     ratio(r.right() + 1, bound.right() + 1),
                     ratio(r.bottom() + 1, bound.bottom() + 1)});
}

// Lays the table out on `window`, whose controls are `controls` row by row, at `dpi` and
// returns the largest shortfall of any caption. An option or check box whose caption is wider
// than its row widens into the free room of the frame it lies in: the table's rows are
// narrower than the frames, and Linux fonts are wider than the ones the table was drawn for
// (" 1600 x 1200" at the default font).
double PlaceControls(QWidget* window, const LayoutControls& controls, double dpi)
{
    window->setFixedSize(TwipsToPixels(kClientWidthTwips, dpi),
                         TwipsToPixels(kClientHeightTwips, dpi));
    for (std::size_t i = 0; i < kControls.size(); ++i)
        controls[i]->setGeometry(ControlRect(kControls[i], dpi));

    double shortfall = 0;
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const ControlSpec& row = kControls[i];
        QWidget* control = controls[i];
        control->ensurePolished();
        // Inside a frame, or lying over one as Option1 does, a control stays within the
        // frame's border; elsewhere within the window.
        QRect bound = window->rect();
        if (kContainerRows[i] >= 0) {
            bound = FrameContents(static_cast<QGroupBox*>(controls[kContainerRows[i]]));
        } else if (row.kind != ControlKind::Frame) {
            for (std::size_t f = 0; f < kControls.size(); ++f)
                if (kControls[f].kind == ControlKind::Frame &&
                    controls[f]->geometry().contains(control->geometry()))
                    bound = FrameContents(static_cast<QGroupBox*>(controls[f]))
                                .translated(controls[f]->pos());
        }
        QSize need = control->sizeHint();
        if (row.kind == ControlKind::Frame) {
            need.setHeight(0);
            FrameContents(static_cast<QGroupBox*>(control), &need.rwidth());
        }
        if ((row.kind == ControlKind::OptionButton || row.kind == ControlKind::CheckBox) &&
            need.width() > control->width())
            control->resize(std::max(control->width(),
                                     std::min(need.width(), bound.right() + 1 - control->x())),
                            control->height());
        shortfall = std::max(shortfall, Shortfall(control, need, bound));
    }
    return shortfall;
}

} // namespace

void FitLayout(QWidget* window, const LayoutControls& controls, double dpi)
{
    // A desktop font larger than the one the table was drawn for would cut captions. The
    // whole table then grows as one, window included, by a factor just large enough for
    // every caption; at the default font that factor is 1. A round that falls short by a
    // fixed style margin overshoots it in the next, so this ends within a few rounds.
    double scale = 1.0;
    for (int round = 0; round < 16; ++round) {
        const double shortfall = PlaceControls(window, controls, dpi * scale);
        if (shortfall <= 1.0)
            break;
        scale *= shortfall + 0.001;
    }
}

} // namespace vexalo
