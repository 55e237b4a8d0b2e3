// SPDX-License-Identifier: MIT
#include "dialog/accessible.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <algorithm>

namespace vexalo {
namespace {

// The window: a dialog whose children leave out the lodger, which its frame presents.
class DialogAccessible : public QAccessibleWidget {
public:
    DialogAccessible(QWidget* window, QObject* lodger)
        : QAccessibleWidget(window, QAccessible::Dialog), lodger_(lodger)
    {
    }

    int childCount() const override { return int(children().size()); }
    QAccessibleInterface* child(int index) const override
    {
        const QList<QAccessibleInterface*> kids = children();
        return index >= 0 && index < kids.size() ? kids[index] : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const QList<QAccessibleInterface*> kids = children();
        const auto found = std::find(kids.begin(), kids.end(), child);
        return found == kids.end() ? -1 : int(found - kids.begin());
    }

private:
    QList<QAccessibleInterface*> children() const
    {
        QList<QAccessibleInterface*> kids;
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i)
            if (QAccessibleInterface* kid = QAccessibleWidget::child(i);
                kid && kid->object() != lodger_)
                kids << kid;
        return kids;
    }

    QObject* lodger_;
};

// The frame: a group named by its title, whose members are the lodger and then its own
// children, each labelled by the frame.
class FrameAccessible : public QAccessibleWidget {
public:
    FrameAccessible(QGroupBox* frame, QWidget* lodger)
        : QAccessibleWidget(frame, QAccessible::Grouping), lodger_(lodger)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<QGroupBox*>(widget())->title();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return QAccessibleWidget::childCount() + 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(lodger_)
                          : QAccessibleWidget::child(index - 1);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child && child->object() == lodger_)
            return 0;
        const int own = QAccessibleWidget::indexOfChild(child);
        return own < 0 ? -1 : own + 1;
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto rels = QAccessibleWidget::relations(match);
        if (match & QAccessible::Labelled)
            for (int i = 0; i < childCount(); ++i)
                if (QAccessibleInterface* member = child(i))
                    rels.append({member, QAccessible::Labelled});
        return rels;
    }

private:
    QWidget* lodger_;
};

// An option button or check box. Qt's own toggles the button when a screen reader acts on it,
// which changes what the window shows but runs none of its click handlers; this one clicks, so
// the choices follow as they do for the mouse and keyboard. A lodger's parent, for a screen
// reader, is the frame it is drawn in.
class ChoiceAccessible : public QAccessibleWidget {
public:
    ChoiceAccessible(QAbstractButton* button, QAccessible::Role role, QGroupBox* lodgedIn)
        : QAccessibleWidget(button, role), frame_(lodgedIn)
    {
    }

    QAccessibleInterface* parent() const override
    {
        return frame_ ? QAccessible::queryAccessibleInterface(frame_) : QAccessibleWidget::parent();
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return button()->text();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = button()->isChecked();
        s.pressed = button()->isDown();
        return s;
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto rels = QAccessibleWidget::relations(match);
        if (frame_ && (match & QAccessible::Label))
            rels.append({QAccessible::queryAccessibleInterface(frame_), QAccessible::Label});
        return rels;
    }
    QStringList actionNames() const override
    {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == toggleAction())
            button()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }

    QGroupBox* frame_;
};

// Puts `mine` in place of whatever interface the toolkit made, or would make, for its object.
void Present(QAccessibleInterface* mine)
{
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(mine->object()))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    QAccessible::registerAccessibleInterface(mine);
}

} // namespace

void PresentAsDialog(QWidget* window, QGroupBox* frame, QAbstractButton* lodger,
                     const QList<QAbstractButton*>& choices)
{
    Present(new DialogAccessible(window, lodger));
    Present(new FrameAccessible(frame, lodger));
    for (QAbstractButton* choice : choices)
        Present(new ChoiceAccessible(choice,
                                     qobject_cast<QCheckBox*>(choice) ? QAccessible::CheckBox
                                                                      : QAccessible::RadioButton,
                                     choice == lodger ? frame : nullptr));
}

} // namespace vexalo
