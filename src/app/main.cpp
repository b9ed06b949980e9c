#include "mainwindow.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));

    // Explorer's "Convert to qmake project" runs `corvane --convert "%1"`; "Open with" in a
    // Linux file manager, and a file dropped on corvane.exe's icon, `corvane PATH`. On
    // Windows, where corvane has no console, Qt shows the parser's messages in a box.
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Converts a Keil MDK uVision project into a qmake project file."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption convert(
        QStringLiteral("convert"),
        QStringLiteral("Convert PATH at once, without the window; exit when its result box is "
                       "closed, with status 0 only when it converted."));
    parser.addOption(convert);
    parser.addPositionalArgument(
        QStringLiteral("path"),
        QStringLiteral("A .uvprojx, .uvproj or .uvmpw file for the path field; of several, "
                       "the first, as for a drop."),
        QStringLiteral("[PATH]"));
    parser.process(app);
    const QStringList paths = parser.positionalArguments();
    const QString path = paths.isEmpty() ? QString() : paths.first();

    MainWindow window;
    // Message boxes have no parent; through the application they show the same icon.
    QApplication::setWindowIcon(window.windowIcon());
    if (parser.isSet(convert))
        return window.convert(path) ? EXIT_SUCCESS : EXIT_FAILURE;
    window.show();
    if (!path.isEmpty())
        window.openPath(path);
    return app.exec();
}
