// SPDX-License-Identifier: MIT
#include "dialog/form1.h"
#include "dialog/layout.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <vector>

using vexalo::DisplayChoices;
using vexalo::Form1;

Q_DECLARE_METATYPE(DisplayChoices)

namespace {

DisplayChoices Choices(int resolution, int depth, int check1)
{
    DisplayChoices c;
    vexalo::SelectChoice(c, resolution);
    vexalo::SelectChoice(c, depth);
    c.Check1 = check1;
    return c;
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> tmp_;
    std::optional<Form1> form_;
    QString oldCwd_;

    QAbstractButton* button(const QString& name) const
    {
        auto* b = form_->findChild<QAbstractButton*>(name);
        if (!b)
            qFatal("no button %s", qPrintable(name));
        return b;
    }

    // Which buttons show as selected, as a string like "3 6 C" (C: the check box).
    QString shown() const
    {
        QStringList on;
        for (int n = 1; n <= vexalo::kOptionCount; ++n)
            if (button(QStringLiteral("Option%1").arg(n))->isChecked())
                on << QString::number(n);
        if (button("Check1")->isChecked())
            on << "C";
        return on.join(' ');
    }

private slots:
    void init()
    {
        tmp_.emplace();
        oldCwd_ = QDir::currentPath();
        QVERIFY(QDir::setCurrent(tmp_->path()));
        form_.emplace();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*form_));
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&*form_));
    }
    void cleanup()
    {
        form_.reset();
        QDir::setCurrent(oldCwd_);
        QCOMPARE(QDir(tmp_->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{});
    }

    void titleIsExactAndSizeIsFixed()
    {
        QCOMPARE(form_->windowTitle(), "Vexalo Configuration");
        QCOMPARE(form_->size(), QSize(417, 167));
        QCOMPARE(form_->minimumSize(), form_->maximumSize());
        QVERIFY(!(form_->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!form_->windowIcon().isNull());
    }

    void controlsFollowTheLayoutTable_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("twips");

        // The layout, in twips, as the window must show it.
        QTest::newRow("Option1") << "QRadioButton"
                                 << " 640 x 480"
                                 << "" << QRect(480, 600, 1575, 375);
        QTest::newRow("Frame1") << "QGroupBox"
                                << "Resolution"
                                << "" << QRect(240, 240, 1935, 2055);
        QTest::newRow("Option2") << "QRadioButton"
                                 << " 800 x 600"
                                 << "Frame1" << QRect(240, 720, 1575, 375);
        QTest::newRow("Option3") << "QRadioButton"
                                 << " 1024 x 768"
                                 << "Frame1" << QRect(240, 1080, 1455, 375);
        QTest::newRow("Option4") << "QRadioButton"
                                 << " 1600 x 1200"
                                 << "Frame1" << QRect(240, 1440, 1335, 375);
        QTest::newRow("Frame2") << "QGroupBox"
                                << "Other screen settings"
                                << "" << QRect(2400, 240, 1935, 2055);
        QTest::newRow("Option5") << "QRadioButton"
                                 << " 16 bpp"
                                 << "Frame2" << QRect(120, 360, 1575, 375);
        QTest::newRow("Option6") << "QRadioButton"
                                 << " 32 bpp"
                                 << "Frame2" << QRect(120, 840, 1695, 375);
        QTest::newRow("Check1") << "QCheckBox"
                                << " Fullscreen?"
                                << "Frame2" << QRect(120, 1440, 1695, 375);
        QTest::newRow("Command1") << "QPushButton"
                                  << "Save"
                                  << "" << QRect(4440, 240, 1695, 375);
        QTest::newRow("Command2") << "QPushButton"
                                  << "Save and Start"
                                  << "" << QRect(4440, 960, 1695, 375);
        QTest::newRow("Command3") << "QPushButton"
                                  << "Cancel"
                                  << "" << QRect(4440, 1920, 1695, 375);
    }
    void controlsFollowTheLayoutTable()
    {
        QFETCH(QString, className);
        QFETCH(QString, caption);
        QFETCH(QString, container);
        QFETCH(QRect, twips);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        auto* control = form_->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->metaObject()->className(), className);
        QCOMPARE(control->property(className == "QGroupBox" ? "title" : "text").toString(),
                 caption);
        QCOMPARE(control->parentWidget()->objectName(),
                 container.isEmpty() ? QString() : container);
        QCOMPARE(control->parentWidget() == &*form_, container.isEmpty());

        const QRect expected(twips.x() / 15, twips.y() / 15, twips.width() / 15,
                             twips.height() / 15);
        QCOMPARE(control->pos(), expected.topLeft());
        QCOMPARE(control->height(), expected.height());
        if (className == "QRadioButton" || className == "QCheckBox") {
            // A caption that does not fit widens its control, never past its container.
            QCOMPARE(control->width(),
                     std::max(expected.width(),
                              std::min(control->sizeHint().width(),
                                       control->parentWidget()->width() - expected.x())));
            QVERIFY2(control->width() >= control->sizeHint().width(), "caption is clipped");
        } else {
            QCOMPARE(control->width(), expected.width());
        }
    }

    void layoutConvertsTwipsAtLogicalDpi_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("client width at 96") << 6255 << 96.0 << 417;
        QTest::newRow("client height at 96") << 2505 << 96.0 << 167;
        QTest::newRow("client width at 120") << 6255 << 120.0 << 521;
        QTest::newRow("12 twips a pixel at 120") << 1440 << 120.0 << 120;
        QTest::newRow("rounds to nearest") << 7 << 96.0 << 0;
        QTest::newRow("rounds half up") << 8 << 96.0 << 1;
    }
    void layoutConvertsTwipsAtLogicalDpi()
    {
        QFETCH(int, twips);
        QFETCH(double, dpi);
        QFETCH(int, pixels);
        QCOMPARE(vexalo::TwipsToPixels(twips, dpi), pixels);
    }

    void option1IsDrawnAboveFrame1()
    {
        auto* option1 = button("Option1");
        QWidget* frame1 = form_->findChild<QGroupBox*>("Frame1");
        const QPoint centre = option1->geometry().center();
        QVERIFY(frame1->geometry().contains(centre));
        QCOMPARE(form_->childAt(centre), option1);
    }

    // The desktop's font as GTK and KDE users set it: the whole layout grows as one until
    // every caption fits, and stays one fixed-size window.
    void captionsFitAtEveryFont_data()
    {
        QTest::addColumn<QFont>("font");
        QTest::addColumn<bool>("grows");
        QTest::newRow("default") << QApplication::font() << false;
        QTest::newRow("DejaVu Sans 9") << QFont("DejaVu Sans", 9) << false;
        QTest::newRow("GTK's default, Sans 10") << QFont("Sans", 10) << true;
        QTest::newRow("DejaVu Sans 11") << QFont("DejaVu Sans", 11) << true;
        QTest::newRow("DejaVu Sans 14") << QFont("DejaVu Sans", 14) << true;
        QTest::newRow("DejaVu Sans 16") << QFont("DejaVu Sans", 16) << true;
        QTest::newRow("DejaVu Sans 20") << QFont("DejaVu Sans", 20) << true;
        QTest::newRow("Cantarell 11") << QFont("Cantarell", 11) << true;
        QTest::newRow("Cantarell 16") << QFont("Cantarell", 16) << true;
        QTest::newRow("DejaVu Sans 8 pixels") << [] {
            QFont f("DejaVu Sans");
            f.setPixelSize(8);
            return f;
        }() << false;
    }
    void captionsFitAtEveryFont()
    {
        QFETCH(QFont, font);
        QFETCH(bool, grows);
        const QFont old = QApplication::font();
        const auto restore = qScopeGuard([&] { QApplication::setFont(old); });
        QApplication::setFont(font);
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QCOMPARE(form.minimumSize(), form.maximumSize());
        QCOMPARE(form.width() > 417, grows);
        QCOMPARE(form.height() > 167, grows);
        const double pixelsPerTwip = form.width() / double(vexalo::kClientWidthTwips);
        QVERIFY(qAbs(form.height() - vexalo::kClientHeightTwips * pixelsPerTwip) <= 1);

        std::vector<std::pair<const QWidget*, QRect>> placed; // in the window's coordinates
        for (const vexalo::ControlSpec& row : vexalo::kControls) {
            const QString name = QString::fromLatin1(row.name);
            auto* control = form.findChild<QWidget*>(name);
            const QRect r = control->geometry();
            // One factor for the whole table; only an option's width may grow beyond it.
            const QRect twips(row.left, row.top, row.width, row.height);
            QVERIFY2(qAbs(r.x() - twips.x() * pixelsPerTwip) <= 1 &&
                         qAbs(r.y() - twips.y() * pixelsPerTwip) <= 1 &&
                         qAbs(r.height() - twips.height() * pixelsPerTwip) <= 1 &&
                         r.width() >= twips.width() * pixelsPerTwip - 1,
                     qPrintable(name + " leaves the table's proportions"));

            const auto* frame = qobject_cast<const QGroupBox*>(control);
            const QSize need =
                frame ? QSize(frame->fontMetrics().horizontalAdvance(frame->title()), 0)
                      : control->sizeHint();
            QVERIFY2(need.width() <= r.width() && need.height() <= r.height(),
                     qPrintable(name + " cuts its caption"));

            // Within the container's inner area; Option1 within Frame1's, which it lies over.
            const QWidget* parent = control->parentWidget();
            QRect bound = parent == &form ? form.rect() : parent->contentsRect();
            if (name == "Option1") {
                auto* frame1 = form.findChild<QGroupBox*>("Frame1");
                bound = frame1->contentsRect().translated(frame1->pos());
            }
            QVERIFY2(bound.contains(r), qPrintable(name + " leaves its container"));
            // The table's option rows overlap by a sliver, but what they draw, their caption
            // centred in the row, must not.
            const QRect drawn =
                qobject_cast<const QPushButton*>(control) || frame
                    ? r
                    : QStyle::alignedRect(Qt::LeftToRight, Qt::AlignLeft | Qt::AlignVCenter, need,
                                          r);
            placed.emplace_back(control,
                                drawn.translated(control->mapTo(&form, QPoint()) - r.topLeft()));
        }
        for (const auto& [a, ra] : placed)
            for (const auto& [b, rb] : placed) {
                const bool related =
                    a == b || a->parentWidget() == b || b->parentWidget() == a ||
                    (a->objectName() == "Option1" && b->objectName() == "Frame1") ||
                    (b->objectName() == "Option1" && a->objectName() == "Frame1");
                QVERIFY2(related || !ra.intersects(rb),
                         qPrintable(a->objectName() + " overlaps " + b->objectName()));
            }
    }

    void opensWithDefaultsAndFocusOnOption1()
    {
        QCOMPARE(shown(), "3 6 C");
        QCOMPARE(form_->choices(), Choices(3, 6, 1));
        QCOMPARE(QApplication::focusWidget(), button("Option1"));
    }

    void focusChainFollowsTableAndSkipsFrames()
    {
        QStringList chain;
        QWidget* w = button("Option1");
        do {
            // Qt takes Tab focus from the unfocused members of an option group; what matters
            // here is the order, and that frames never take focus.
            if (!w->objectName().isEmpty() && w->focusPolicy() != Qt::NoFocus)
                chain << w->objectName();
            w = w->nextInFocusChain();
        } while (w != button("Option1"));
        QCOMPARE(chain.join(' '), "Option1 Option2 Option3 Option4 Option5 Option6 Check1 "
                                  "Command1 Command2 Command3");
    }

    void tabEntersEachGroupAtItsSelectionWithoutSelecting()
    {
        // Tab and Shift+Tab visit each group once, landing on its selected option.
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab})
            for (int i = 0; i < 6; ++i) {
                QTest::keyClick(QApplication::focusWidget(), key);
                visited << QApplication::focusWidget()->objectName();
            }
        QCOMPARE(visited.join(' '), "Option1 Option6 Check1 Command1 Command2 Command3 Option3 "
                                    "Command3 Command2 Command1 Check1 Option6 Option3");
        QCOMPARE(shown(), "3 6 C");
    }

    void clicksKeepOneChoicePerGroup_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<DisplayChoices>("choices");
        QTest::newRow("640 clears 1024 across containers")
            << QStringList{"Option1"} << "1 6 C" << Choices(1, 6, 1);
        QTest::newRow("then 800 clears 640")
            << QStringList{"Option1", "Option2"} << "2 6 C" << Choices(2, 6, 1);
        QTest::newRow("1600 then 640")
            << QStringList{"Option4", "Option1"} << "1 6 C" << Choices(1, 6, 1);
        QTest::newRow("16 bpp leaves resolution")
            << QStringList{"Option5"} << "3 5 C" << Choices(3, 5, 1);
        QTest::newRow("selected option again")
            << QStringList{"Option3", "Option6"} << "3 6 C" << Choices(3, 6, 1);
        QTest::newRow("full screen off") << QStringList{"Check1"} << "3 6" << Choices(3, 6, 0);
        QTest::newRow("full screen toggled twice")
            << QStringList{"Check1", "Check1"} << "3 6 C" << Choices(3, 6, 1);
        // The whole row answers, edges included, as a row in a desktop dialog does.
        QTest::newRow("full screen off at its top right corner")
            << QStringList{"Check1@topRight"} << "3 6" << Choices(3, 6, 0);
        QTest::newRow("16 bpp at its bottom right corner")
            << QStringList{"Option5@bottomRight"} << "3 5 C" << Choices(3, 5, 1);
        QTest::newRow("800 and full screen off by a screen reader")
            << QStringList{"Option2@reader", "Check1@reader"} << "2 6" << Choices(2, 6, 0);
    }
    void clicksKeepOneChoicePerGroup()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QString, expected);
        QFETCH(DisplayChoices, choices);
        for (const QString& click : clicks) {
            // "Name@corner" clicks in that corner of the row rather than on its caption;
            // "Name@reader" acts on the control as a screen reader does.
            auto* b = button(click.section('@', 0, 0));
            const QString at = click.section('@', 1);
            if (at == "reader")
                QAccessible::queryAccessibleInterface(b)->actionInterface()->doAction(
                    QAccessibleActionInterface::toggleAction());
            else
                QTest::mouseClick(b, Qt::LeftButton, {},
                                  at == "topRight"      ? b->rect().topRight()
                                  : at == "bottomRight" ? b->rect().bottomRight()
                                                        : QPoint(8, b->height() / 2));
        }
        QCOMPARE(shown(), expected);
        QCOMPARE(form_->choices(), choices);
    }

    void keyboardSelectsLikeAClick()
    {
        // Space on Option1 (a child of the window) clears Option3 (inside Frame1).
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(shown(), "1 6 C");
        QCOMPARE(form_->choices(), Choices(1, 6, 1));
        // Arrows move within the resolution group, across containers, and select as they go.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), button("Option2"));
        QCOMPARE(form_->choices(), Choices(2, 6, 1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), button("Option1"));
        QCOMPARE(form_->choices(), Choices(1, 6, 1));
        QCOMPARE(shown(), "1 6 C");
    }

    void arrowFromUnselectedOptionOnlyMovesFocus()
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), button("Option2"));
        QCOMPARE(shown(), "3 6 C");
    }

    void enterAndEscapeDoNothing_data()
    {
        QTest::addColumn<QString>("focus");
        for (const char* name :
             {"Option1", "Option5", "Check1", "Command1", "Command2", "Command3"})
            QTest::newRow(name) << name;
    }
    void enterAndEscapeDoNothing()
    {
        QFETCH(QString, focus);
        button(focus)->setFocus();
        // Enter on a push button presses it: the end-to-end screen-reader case presses each.
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            if (key == Qt::Key_Escape || !focus.startsWith("Command"))
                QTest::keyClick(QApplication::focusWidget(), key,
                                key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QVERIFY(form_->isVisible());
        QCOMPARE(form_->choices(), Choices(3, 6, 1));
        // cleanup() checks that nothing was written.
    }

    void closeControlWritesNothing()
    {
        QVERIFY(form_->close());
        QVERIFY(!form_->isVisible());
        QCOMPARE(form_->exitStatus(), 0);
    }

    void screenReaderSeesTheWindowAsTitledDialog()
    {
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(&*form_);
        QVERIFY(a11y);
        QCOMPARE(a11y->role(), QAccessible::Dialog);
        QCOMPARE(a11y->text(QAccessible::Name), "Vexalo Configuration");
    }

    // Option1 belongs to the window but is drawn in Frame1: a screen reader reads it there,
    // first, labelled by the frame's title like the frame's own members.
    void screenReaderSeesRolesNamesAndStates_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("index");
        const QString other = "Other screen settings", dialog = "Vexalo Configuration";
        QTest::newRow("Option1") << int(QAccessible::RadioButton) << false << "Resolution" << 0;
        QTest::newRow("Option3") << int(QAccessible::RadioButton) << true << "Resolution" << 2;
        QTest::newRow("Option5") << int(QAccessible::RadioButton) << false << other << 0;
        QTest::newRow("Option6") << int(QAccessible::RadioButton) << true << other << 1;
        QTest::newRow("Check1") << int(QAccessible::CheckBox) << true << other << 2;
        QTest::newRow("Command1") << int(QAccessible::Button) << false << dialog << 2;
        QTest::newRow("Command3") << int(QAccessible::Button) << false << dialog << 4;
    }
    void screenReaderSeesRolesNamesAndStates()
    {
        QFETCH(int, role);
        QFETCH(bool, checked);
        QFETCH(QString, group);
        QFETCH(int, index);
        auto* control = button(QString::fromLatin1(QTest::currentDataTag()));
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(control);
        QVERIFY(a11y);
        QCOMPARE(int(a11y->role()), role);
        QCOMPARE(a11y->text(QAccessible::Name), control->text());
        QCOMPARE(bool(a11y->state().checked), checked);

        QAccessibleInterface* parent = a11y->parent();
        QCOMPARE(parent->text(QAccessible::Name), group);
        QCOMPARE(parent->indexOfChild(a11y), index);
        QCOMPARE(parent->child(index), a11y);
        QCOMPARE(a11y->relations(QAccessible::Label).value(0).first,
                 group != "Vexalo Configuration" ? parent : nullptr);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
