#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MainWindow window;
    // Message boxes have no parent; through the application they show the same icon.
    QApplication::setWindowIcon(window.windowIcon());
    window.show();
    return app.exec();
}
