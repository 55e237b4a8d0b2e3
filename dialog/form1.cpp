// SPDX-License-Identifier: MIT
#include "dialog/form1.h"

#include "dialog/accessible.h"
#include "dialog/commands.h"
#include "dialog/layout.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <algorithm>
#include <vector>

namespace vexalo {
namespace {

// A row of a desktop dialog answers a click anywhere in it, not only on its indicator and
// caption as Qt's buttons do.
template <class Button> class WholeRow : public Button {
public:
    using Button::Button;

protected:
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};

QWidget* CreateControl(const ControlSpec& row, QWidget* container)
{
    const QString caption = QString::fromLatin1(row.caption);
    QWidget* control = nullptr;
    switch (row.kind) {
    case ControlKind::OptionButton:
        control = new WholeRow<QRadioButton>(caption, container);
        break;
    case ControlKind::Frame:
        control = new QGroupBox(caption, container);
        break;
    case ControlKind::CheckBox:
        control = new WholeRow<QCheckBox>(caption, container);
        break;
    case ControlKind::CommandButton:
        control = new QPushButton(caption, container);
        break;
    }
    control->setObjectName(QString::fromLatin1(row.name));
    return control;
}

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
double PlaceControls(QWidget* window, const std::array<QWidget*, kControls.size()>& controls,
                     double dpi)
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

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Vexalo Configuration"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/vexalo-config.png")));
    CreateControls();
    TakeControls();
    FitToFont();
    ChainTabOrder();
    options_[0]->setFocus(Qt::OtherFocusReason);
    PresentAsDialog(
        this, frame1_, options_[0],
        {options_[0], options_[1], options_[2], options_[3], options_[4], options_[5], check1_});
    ConnectEvents();
    Form1_Load();
}

void Form1::CreateControls()
{
    // Frames first: a later sibling is drawn above an earlier one, and Option1, a child of
    // the window, must be drawn over Frame1.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < kControls.size(); ++i)
        order.push_back(i);
    std::stable_partition(order.begin(), order.end(),
                          [](std::size_t i) { return kControls[i].kind == ControlKind::Frame; });
    for (std::size_t i : order)
        controls_[i] = CreateControl(kControls[i],
                                     kContainerRows[i] < 0 ? this : controls_[kContainerRows[i]]);
}

// The controls the window's code speaks to, by their kinds.
void Form1::TakeControls()
{
    constexpr std::array<std::size_t, kOptionCount> optionRows{Row("Option1"), Row("Option2"),
                                                               Row("Option3"), Row("Option4"),
                                                               Row("Option5"), Row("Option6")};
    for (std::size_t n = 0; n < optionRows.size(); ++n)
        options_[n] = static_cast<QRadioButton*>(controls_[optionRows[n]]);
    frame1_ = static_cast<QGroupBox*>(controls_[Row("Frame1")]);
    check1_ = static_cast<QCheckBox*>(controls_[Row("Check1")]);
    command1_ = static_cast<QPushButton*>(controls_[Row("Command1")]);
    command2_ = static_cast<QPushButton*>(controls_[Row("Command2")]);
    command3_ = static_cast<QPushButton*>(controls_[Row("Command3")]);
}

void Form1::FitToFont()
{
    // A desktop font larger than the one the table was drawn for would cut captions. The
    // whole table then grows as one, window included, by a factor just large enough for
    // every caption; at the default font that factor is 1. A round that falls short by a
    // fixed style margin overshoots it in the next, so this ends within a few rounds.
    const double dpi = screen() ? screen()->logicalDotsPerInchX() : 96.0;
    double scale = 1.0;
    for (int round = 0; round < 16; ++round) {
        const double shortfall = PlaceControls(this, controls_, dpi * scale);
        if (shortfall <= 1.0)
            break;
        scale *= shortfall + 0.001;
    }
}

// Tab follows the table's rows.
void Form1::ChainTabOrder()
{
    QWidget* previous = nullptr;
    for (QWidget* control : controls_) {
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }
}

void Form1::ConnectEvents()
{
    // Groups that span both containers keep each radio button announced as a radio button
    // and give Qt's arrow-key navigation its group; which option is selected is still the
    // choices' own rule (see ShowChoices).
    resolutionGroup_ = new QButtonGroup(this);
    depthGroup_ = new QButtonGroup(this);
    for (int n = 1; n <= kOptionCount; ++n)
        (GroupOf(n) == OptionGroup::Resolution ? resolutionGroup_ : depthGroup_)
            ->addButton(options_[static_cast<std::size_t>(n - 1)], n);

    const std::pair<QAbstractButton*, void (Form1::*)()> events[] = {
        {options_[0], &Form1::Option1_Click}, {options_[1], &Form1::Option2_Click},
        {options_[2], &Form1::Option3_Click}, {options_[3], &Form1::Option4_Click},
        {options_[4], &Form1::Option5_Click}, {options_[5], &Form1::Option6_Click},
        {check1_, &Form1::Check1_Click},      {command1_, &Form1::Command1_Click},
        {command2_, &Form1::Command2_Click},  {command3_, &Form1::Command3_Click},
    };
    for (const auto& [button, handler] : events)
        connect(button, &QAbstractButton::clicked, this, handler);
}

// Tab and Shift+Tab enter an option group at its selected option, as desktop dialogs do;
// Qt's own chain would enter it at the member that last had the focus.
bool Form1::focusNextPrevChild(bool next)
{
    const auto groupOf = [](QWidget* w) {
        auto* button = qobject_cast<QAbstractButton*>(w);
        return button ? button->group() : nullptr;
    };
    QWidget* from = focusWidget();
    if (!from)
        return QWidget::focusNextPrevChild(next);
    for (QWidget* w = from;
         (w = next ? w->nextInFocusChain() : w->previousInFocusChain()) != from;) {
        QButtonGroup* group = groupOf(w);
        if (group && group == groupOf(from))
            continue;
        // Qt takes Tab focus from a group's other members; the group still is one stop.
        if (!group &&
            (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() || !w->isVisibleTo(this)))
            continue;
        if (group && group->checkedButton())
            w = group->checkedButton();
        w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return false;
}

// No button is the window's default, so Enter means nothing by itself; on a push button it
// presses that button, as in every desktop dialog. Options and the check box let it pass.
void Form1::keyPressEvent(QKeyEvent* event)
{
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (button && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        button->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form1::ShowChoices()
{
    for (QButtonGroup* group : {resolutionGroup_, depthGroup_})
        group->setExclusive(false);
    for (int n = 1; n <= kOptionCount; ++n)
        options_[static_cast<std::size_t>(n - 1)]->setChecked(IsSelected(choices_, n));
    for (QButtonGroup* group : {resolutionGroup_, depthGroup_})
        group->setExclusive(true);
    check1_->setChecked(choices_.Check1 == 1);
}

void Form1::Unload(int exitStatus)
{
    exitStatus_ = exitStatus;
    close();
}

void Form1::Select(int option)
{
    SelectChoice(choices_, option);
    ShowChoices();
}

void Form1::Form1_Load()
{
    ApplyDefaults(choices_);
    ShowChoices();
}

void Form1::Option1_Click()
{
    Select(1);
}
void Form1::Option2_Click()
{
    Select(2);
}
void Form1::Option3_Click()
{
    Select(3);
}
void Form1::Option4_Click()
{
    Select(4);
}
void Form1::Option5_Click()
{
    Select(5);
}
void Form1::Option6_Click()
{
    Select(6);
}
void Form1::Check1_Click()
{
    choices_.Check1 = check1_->isChecked() ? 1 : 0;
}
void Form1::Finish(std::optional<int> status)
{
    if (status)
        Unload(*status);
}

void Form1::Command1_Click()
{
    Finish(Save(choices_, *this));
}
void Form1::Command2_Click()
{
    Finish(SaveAndStart(choices_, *this));
}
void Form1::Command3_Click()
{
    Finish(Cancel());
}

} // namespace vexalo
