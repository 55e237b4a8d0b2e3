// SPDX-License-Identifier: MIT
#include "dialog/form1.h"

#include "dialog/accessible.h"
#include "dialog/commands.h"
#include "dialog/fit_layout.h"
#include "dialog/layout.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
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

} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QString::fromLatin1(kWindowTitle));
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
    FitLayout(this, controls_, screen() ? screen()->logicalDotsPerInchX() : 96.0);
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
