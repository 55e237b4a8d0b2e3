// SPDX-License-Identifier: MIT
// Qt's own floor: the least a Qt Widgets program does before its first paint, one window of
// the tool's size and title with one line of text. What vexalo-config costs beyond this is
// its own.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral(" 1024 x 768"));
    window.setWindowTitle(QStringLiteral("Vexalo Configuration"));
    window.setFixedSize(417, 167);
    window.show();
    return QApplication::exec();
}
