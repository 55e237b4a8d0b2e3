// SPDX-License-Identifier: MIT
#include "core/gtk_settings.h"
#include "core/xsettings.h"

#include <QTest>

using namespace vexalo;

namespace {

// Builds a property as a manager writes it, in byte order `msb`: a header of `count`
// settings, then the entries appended.
struct Property {
    bool msb = false;
    QByteArray bytes;

    Property(bool msbFirst, quint32 count) : msb(msbFirst)
    {
        bytes.append(char(msb)).append(3, '\0');
        Card(4, 7).Card(4, count);
    }
    Property& Card(int size, quint32 value)
    {
        for (int i = 0; i < size; ++i)
            bytes.append(char(value >> 8 * (msb ? size - 1 - i : i)));
        return *this;
    }
    Property& Padded(const QByteArray& text)
    {
        bytes.append(text).append((4 - text.size() % 4) % 4, '\0');
        return *this;
    }
    Property& Entry(int type, const QByteArray& name)
    {
        return Card(1, type).Card(1, 0).Card(2, name.size()).Padded(name).Card(4, 1);
    }
    Property& String(const QByteArray& name, const QByteArray& value)
    {
        return Entry(1, name).Card(4, value.size()).Padded(value);
    }
};

} // namespace

class TestXSettings : public QObject {
    Q_OBJECT
private slots:
    void readsWhatGtkReads_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QString>("font"); // what GTK takes: its default where it takes nothing
        for (const bool msb : {false, true}) {
            const char* order = msb ? "MSB first" : "LSB first";
            QTest::addRow("%s: a string", order)
                << Property(msb, 1).String("Gtk/FontName", "Cantarell 11").bytes << "Cantarell 11";
            // Read past whole: an integer, a colour, a padded string, then the font.
            QTest::addRow("%s: an integer, a colour and strings", order)
                << Property(msb, 4)
                       .Entry(0, "Xft/DPI")
                       .Card(4, 0xfffffffe)
                       .Entry(2, "Gtk/Color")
                       .Card(4, 0x10002)
                       .Card(4, 0x30004)
                       .String("Net/ThemeName", "Adwaita-dark")
                       .String("Gtk/FontName", "DejaVu Sans 14")
                       .bytes
                << "DejaVu Sans 14";
        }
        const QByteArray good = Property(false, 1).String("Gtk/FontName", "Cantarell 11").bytes;
        QTest::addRow("trailing bytes") << good + QByteArray(5, 'x') << "Cantarell 11";
        QTest::addRow("an integer for the font")
            << Property(false, 1).Entry(0, "Gtk/FontName").Card(4, 11).bytes << "Sans 10";
        // Bad data: none of it is taken, GTK's defaults stand.
        const auto none = [](const QByteArray& name, const QByteArray& bytes) {
            QTest::newRow(name.constData()) << bytes << QStringLiteral("Sans 10");
        };
        none("no manager: no bytes", {});
        for (const int cut : {1, 8, 11, 13, 20, int(good.size()) - 1})
            none("cut to " + QByteArray::number(cut) + " bytes", good.left(cut));
        none("an unknown byte order", QByteArray(1, '\2') + good.mid(1));
        none("a count of 2^32 - 1",
             Property(false, 0xffffffff).String("Gtk/FontName", "Cantarell 11").bytes);
        none("a string's length past the end",
             Property(false, 1).Entry(1, "Gtk/FontName").Card(4, 0xfffffffc).Padded("Sans").bytes);
        none("a name's length past the end",
             Property(false, 1).Card(1, 1).Card(1, 0).Card(2, 0xffff).Padded("Gtk").bytes);
        none("an unknown type", Property(false, 1).Entry(3, "Gtk/FontName").Card(4, 0).bytes);
        none("a name twice",
             Property(false, 2).String("Gtk/FontName", "A 1").String("Gtk/FontName", "B 2").bytes);
    }
    void readsWhatGtkReads()
    {
        QFETCH(QByteArray, property);
        QFETCH(QString, font);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(property.constData());
        GtkSettings gtk;
        ApplyXSettings(ParseXSettings({bytes, std::size_t(property.size())}), gtk);
        QCOMPARE(QString::fromStdString(gtk.fontName), font);
    }

    void fontAndPaletteAsQtsGtkTheme_data()
    {
        QTest::addColumn<QString>("keyFile");
        QTest::addColumn<QString>("gtkThemeVariable");
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("dark");
        const auto row = [](const char* name, const char* keyFile, const char* gtkTheme,
                            const char* family, int points, bool dark = false) {
            QTest::newRow(name) << QString(keyFile) << QString(gtkTheme) << QString(family)
                                << points << dark;
        };
        row("GTK's defaults", "", "", "Sans", 10);
        row("a family of words, part points", "[Settings]\ngtk-font-name = Cantarell Bold 11.5 \n",
            "", "Cantarell Bold", 11);
        row("no size", "[Settings]\ngtk-font-name=Cantarell", "", "Cantarell", 0);
        row("no number", "[Settings]\ngtk-font-name=Sans 1e99", "", "Sans", 0);
        row("empty: Qt's own", "[Settings]\ngtk-font-name=", "", "Sans Serif", 9);
        row("escapes", "[Settings]\ngtk-font-name=\\sDejaVu\\sSans 14", "", " DejaVu Sans", 14);
        row("an unknown escape, another group",
            "[Settings]\ngtk-font-name=A\\q 9\n[Other]\ngtk-font-name=B 8", "", "Sans", 10);
        row("a dark variant", "[Settings]\ngtk-theme-name=Adwaita-Dark", "", "Sans", 10, true);
        row("dark in a word", "[Settings]\ngtk-theme-name=Darkly", "", "Sans", 10);
        row("a preference for dark", "[Settings]\ngtk-application-prefer-dark-theme=true", "",
            "Sans", 10, true);
        row("GTK_THEME over the settings", "[Settings]\ngtk-theme-name=Adwaita-dark", "Adwaita",
            "Sans", 10);
        row("GTK_THEME's dark variant", "", "Adwaita:dark", "Sans", 10, true);
    }
    void fontAndPaletteAsQtsGtkTheme()
    {
        QFETCH(QString, keyFile);
        QFETCH(QString, gtkThemeVariable);
        QFETCH(QString, family);
        QFETCH(int, points);
        QFETCH(bool, dark);
        GtkSettings settings;
        ApplyGtkKeyFile(keyFile.toStdString(), settings);
        const DesktopFont font = SplitGtkFontName(settings.fontName);
        QCOMPARE(QString::fromStdString(font.family), family);
        QCOMPARE(font.pointSize, points);
        QCOMPARE(TakesDarkPalette(settings, gtkThemeVariable.toStdString()), dark);
    }
};

QTEST_APPLESS_MAIN(TestXSettings)
#include "tst_xsettings.moc"
