// SPDX-License-Identifier: MIT
#include "dialog/form1.h"

#include "dialog/commands.h"
#include "dialog/layout.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace vexalo {
namespace {

QWidget* CreateControl(const ControlSpec& row, QWidget* container)
{
    const QString caption = QString::fromLatin1(row.caption);
    QWidget* control = nullptr;
    switch (row.kind) {
    case ControlKind::OptionButton:
        control = new QRadioButton(caption, container);
        break;
    case ControlKind::Frame:
        control = new QGroupBox(caption, container);
        break;
    case ControlKind::CheckBox:
        control = new QCheckBox(caption, container);
        break;
    case ControlKind::CommandButton:
        control = new QPushButton(caption, container);
        break;
    }
    control->setObjectName(QString::fromLatin1(row.name));
    return control;
}

// Linux default fonts are wider than the ones the layout was drawn for, and " 1600 x 1200"
// would be cut off. A caption that does not fit widens its control, never past its container.
QRect FitCaption(const ControlSpec& row, QRect rect, const QWidget* control,
                 const QWidget* container)
{
    if (row.kind != ControlKind::OptionButton && row.kind != ControlKind::CheckBox)
        return rect;
    const int wanted = control->sizeHint().width();
    if (wanted > rect.width())
        rect.setWidth(std::min(wanted, container->width() - rect.left()));
    return rect;
}

// A plain top-level widget is announced as a mere filler; screen readers should present this
// window as the dialog it is, under its title.
QAccessibleInterface* AccessibleForm1(const QString& className, QObject* object)
{
    if (className == QLatin1String("vexalo::Form1") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Dialog);
    return nullptr;
}

} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
{
    static std::once_flag accessibleFactory;
    std::call_once(accessibleFactory, [] { QAccessible::installFactory(AccessibleForm1); });
    setWindowTitle(QStringLiteral("Vexalo Configuration"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/vexalo-config.png")));
    BuildControls();
    ConnectEvents();
    Form1_Load();
}

void Form1::BuildControls()
{
    const double dpi = screen() ? screen()->logicalDotsPerInchX() : 96.0;
    setFixedSize(TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi));

    // Frames first: a later sibling is drawn above an earlier one, and Option1, a child of
    // the window, must be drawn over Frame1.
    std::vector<const ControlSpec*> order;
    for (const ControlSpec& row : kControls)
        order.push_back(&row);
    std::stable_partition(order.begin(), order.end(),
                          [](const ControlSpec* s) { return s->kind == ControlKind::Frame; });
    for (const ControlSpec* row : order) {
        QWidget* container =
            row->container ? findChild<QWidget*>(QString::fromLatin1(row->container)) : this;
        QWidget* control = CreateControl(*row, container);
        control->setGeometry(FitCaption(*row, ControlRect(*row, dpi), control, container));
    }

    QWidget* previous = nullptr;
    for (const ControlSpec& row : kControls) {
        auto* control = findChild<QWidget*>(QString::fromLatin1(row.name));
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }
    findChild<QWidget*>(QStringLiteral("Option1"))->setFocus(Qt::OtherFocusReason);
}

void Form1::ConnectEvents()
{
    for (int n = 1; n <= kOptionCount; ++n)
        options_[static_cast<std::size_t>(n - 1)] =
            findChild<QAbstractButton*>(QStringLiteral("Option%1").arg(n));
    check1_ = findChild<QAbstractButton*>(QStringLiteral("Check1"));

    // Groups that span both containers keep each radio button announced as a radio button
    // and give Qt's arrow-key navigation its group; which option is selected is still the
    // choices' own rule (see ShowChoices).
    resolutionGroup_ = new QButtonGroup(this);
    depthGroup_ = new QButtonGroup(this);
    for (int n = 1; n <= kOptionCount; ++n)
        (OptionGroup(n) == 0 ? resolutionGroup_ : depthGroup_)
            ->addButton(options_[static_cast<std::size_t>(n - 1)], n);

    const std::pair<const char*, void (Form1::*)()> events[] = {
        {"Option1", &Form1::Option1_Click},   {"Option2", &Form1::Option2_Click},
        {"Option3", &Form1::Option3_Click},   {"Option4", &Form1::Option4_Click},
        {"Option5", &Form1::Option5_Click},   {"Option6", &Form1::Option6_Click},
        {"Check1", &Form1::Check1_Click},     {"Command1", &Form1::Command1_Click},
        {"Command2", &Form1::Command2_Click}, {"Command3", &Form1::Command3_Click},
    };
    for (const auto& [name, handler] : events)
        connect(findChild<QAbstractButton*>(QString::fromLatin1(name)), &QAbstractButton::clicked,
                this, handler);
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
void Form1::Command1_Click()
{
    Save(*this);
}
void Form1::Command2_Click()
{
    SaveAndStart(*this);
}
void Form1::Command3_Click()
{
    Cancel(*this);
}

} // namespace vexalo
