#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "conversion.h"
#include "reading/uvisioninstallation.h"
#include "workspaceconversion.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

// The icon lives in this static library; its resource has to be registered by hand.
static QIcon corvaneIcon()
{
    Q_INIT_RESOURCE(corvane);
    return QIcon(QStringLiteral(":/corvane/corvane.png"));
}

static void notify(const QString &text)
{
    QMessageBox::about(nullptr, QStringLiteral("提示"), text);
}

// The box of notify(), with what the run could not find behind "Show Details...": the
// message stays the outcome, the details explain what the .pro lacks.
static void notify(const QString &text, const QStringList &details)
{
    if (details.isEmpty()) {
        notify(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("提示"), text, QMessageBox::Ok);
    // The icon QMessageBox::about() gives its box.
    const QIcon icon = box.windowIcon();
    box.setIconPixmap(icon.pixmap(icon.actualSize(QSize(64, 64))));
    box.setDetailedText(details.join(QLatin1Char('\n')));
    box.exec();
}

// What a workspace's box says behind its details: each member that failed, and what each
// member's .pro lacks.
static QStringList workspaceDetails(const Corvane::WorkspaceResult &result)
{
    QStringList details;
    for (const Corvane::WorkspaceMemberResult &member : result.members) {
        const QString name = QDir::toNativeSeparators(member.path) + QStringLiteral(": ");
        if (!member.result.succeeded())
            details.append(name + member.result.message());
        for (const QString &notice : member.result.notices)
            details.append(name + notice);
    }
    return details;
}

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    // Files dropped on the path field go to the window's handlers instead of being pasted
    // into the field as text.
    setAcceptDrops(true);
    ui->lineEdit_FilePath->setAcceptDrops(false);
    setWindowIcon(corvaneIcon());
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::on_pushButton_ChooseFile_clicked()
{
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("选择MDK工程文件 "), QString(),
                                     QStringLiteral("*.uvprojx *.uvproj *.uvmpw"));
    if (!path.isEmpty())
        ui->lineEdit_FilePath->setText(path);
}

void MainWindow::on_pushButton_Gen_clicked()
{
    // The library writes through a QSaveFile: the .pro is complete before the box shows.
    // Packs and headers from where uVision on this machine takes them; Build writes a .pro
    // older than its project again with the corvane-cli installed beside the window.
    Corvane::ConversionOptions options = Corvane::installedUvisionOptions();
#ifdef Q_OS_WIN
    const QString cli = QStringLiteral("/corvane-cli.exe");
#else
    const QString cli = QStringLiteral("/corvane-cli");
#endif
    if (QFileInfo(QApplication::applicationDirPath() + cli).isFile())
        options.converter = QApplication::applicationDirPath() + cli;
    if (Corvane::isWorkspacePath(ui->lineEdit_FilePath->text())) {
        const Corvane::WorkspaceResult result =
            Corvane::convertWorkspace(ui->lineEdit_FilePath->text(), options);
        notify(result.message(), workspaceDetails(result));
        return;
    }
    const Corvane::ConversionResult result =
        Corvane::convertProject(ui->lineEdit_FilePath->text(), options);
    notify(result.message(), result.notices);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    // A multi-file drop is judged by its first file only. The ending is checked without the
    // dot, so "demo_uvproj" passes too. A remote URL has no local path to convert.
    const QList<QUrl> urls = data->hasUrls() ? data->urls() : QList<QUrl>();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        const QUrl &url = urls.first();
        const QString name = url.fileName();
        if (name.endsWith(QLatin1String("uvprojx")) || name.endsWith(QLatin1String("uvproj")) ||
            name.endsWith(QLatin1String("uvmpw"))) {
            ui->lineEdit_FilePath->setText(url.toLocalFile());
            event->acceptProposedAction();
            return;
        }
    }
    notify(QStringLiteral("选择的文件不受支持!"));
}
