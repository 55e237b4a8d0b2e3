// SPDX-License-Identifier: MIT
#include "core/display_choices.h"

#include <QTest>
#include <stdexcept>

using vexalo::DisplayChoices;

Q_DECLARE_METATYPE(DisplayChoices)

namespace {

DisplayChoices Defaults()
{
    DisplayChoices c;
    vexalo::ApplyDefaults(c);
    return c;
}

DisplayChoices Make(std::initializer_list<int> selected, int check1)
{
    DisplayChoices c;
    c.Check1 = check1;
    for (int option : selected)
        switch (option) {
        case 1:
            c.Option1 = true;
            break;
        case 2:
            c.Option2 = true;
            break;
        case 3:
            c.Option3 = true;
            break;
        case 4:
            c.Option4 = true;
            break;
        case 5:
            c.Option5 = true;
            break;
        case 6:
            c.Option6 = true;
            break;
        }
    return c;
}

} // namespace

class TestDisplayChoices : public QObject {
    Q_OBJECT
private slots:
    void defaultsAre1024x768At32BppFullScreen() { QCOMPARE(Defaults(), Make({3, 6}, 1)); }

    void selectKeepsOneChoicePerGroup_data()
    {
        QTest::addColumn<DisplayChoices>("before");
        QTest::addColumn<int>("option");
        QTest::addColumn<DisplayChoices>("after");

        QTest::newRow("640 clears 1024") << Defaults() << 1 << Make({1, 6}, 1);
        QTest::newRow("800 clears 640") << Make({1, 6}, 1) << 2 << Make({2, 6}, 1);
        QTest::newRow("1600 clears 1024") << Defaults() << 4 << Make({4, 6}, 1);
        QTest::newRow("1024 again changes nothing") << Defaults() << 3 << Defaults();
        QTest::newRow("16 bpp clears 32 only") << Make({2, 6}, 0) << 5 << Make({2, 5}, 0);
        QTest::newRow("32 bpp clears 16 only") << Make({4, 5}, 1) << 6 << Make({4, 6}, 1);
        QTest::newRow("on fresh choices selects one") << DisplayChoices{} << 5 << Make({5}, 0);
    }
    void selectKeepsOneChoicePerGroup()
    {
        QFETCH(DisplayChoices, before);
        QFETCH(int, option);
        QFETCH(DisplayChoices, after);
        vexalo::SelectChoice(before, option);
        QCOMPARE(before, after);
        QVERIFY(vexalo::IsSelected(before, option));
    }

    void optionNumbersOutsideOneToSixAreRejected_data()
    {
        QTest::addColumn<int>("option");
        QTest::newRow("zero") << 0;
        QTest::newRow("seven") << 7;
        QTest::newRow("negative") << -1;
    }
    void optionNumbersOutsideOneToSixAreRejected()
    {
        QFETCH(int, option);
        DisplayChoices c = Defaults();
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, vexalo::SelectChoice(c, option));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, vexalo::IsSelected(c, option));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, vexalo::GroupOf(option));
        QCOMPARE(c, Defaults());
    }
};

QTEST_GUILESS_MAIN(TestDisplayChoices)
#include "tst_display_choices.moc"
