#ifndef CORVANE_MAINWINDOW_H
#define CORVANE_MAINWINDOW_H

#include <QMainWindow>

QT_BEGIN_NAMESPACE
namespace Ui {
class MainWindow;
}
QT_END_NAMESPACE

// The one window: a path field, Choose file, Generate, and a drop target for project files.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // `corvane PATH`, and a file dropped on the program's icon: the path goes into the field,
    // or the box says why not, as for a file dropped on the window.
    void openPath(const QString &path);
    // `corvane --convert PATH`: Generate on PATH, with its box; whether it converted.
    bool convert(const QString &path);

    // The buttons find these by name (connectSlotsByName), so the names must not change.
    // The drag-and-drop overrides are slots too; the order keeps their method indices stable.
private slots:
    void on_pushButton_ChooseFile_clicked();
    void on_pushButton_Gen_clicked();
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool generate();

    Ui::MainWindow *ui;
};

#endif
