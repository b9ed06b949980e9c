// Saves a picture of the main window as the user sees it on the current display; run by
// tools/screenshot under xvfb-run for the README.
//   corvane-windowshot OUTPUT.png [TEXT_FOR_THE_PATH_FIELD]

#include "mainwindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QtTest>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: corvane-windowshot OUTPUT.png [PATH_FIELD_TEXT]\n");
        return 2;
    }

    MainWindow window;
    QApplication::setWindowIcon(window.windowIcon());
    if (args.size() == 3)
        window.findChild<QLineEdit *>(QStringLiteral("lineEdit_FilePath"))->setText(args.at(2));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "corvane-windowshot: the window never appeared\n");
        return 1;
    }
    QTest::qWait(300); // let the first paint and the font loading settle

    const QPixmap picture = window.grab();
    if (!picture.save(args.at(1), "PNG")) {
        std::fprintf(stderr, "corvane-windowshot: cannot write %s\n", qPrintable(args.at(1)));
        return 1;
    }
    return 0;
}
