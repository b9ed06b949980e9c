#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "conversion/conversion.h"
#include "conversion/workspaceconversion.h"
#include "reading/uvisioninstallation.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLayout>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QTextEdit>
#include <QTranslator>
#include <QUrl>
#include <QtMath>

#include <algorithm>

// The icon lives in this static library; its resource has to be registered by hand.
static QIcon corvaneIcon()
{
    Q_INIT_RESOURCE(corvane);
    return QIcon(QStringLiteral(":/corvane/corvane.png"));
}

// Qt's own Chinese for the texts of its boxes and dialogs (显示详情..., 确定, the file
// dialog's), once per application: from translations beside the program, where the Windows
// zip has it, or from Qt's translations folder.
static void loadQtTranslation()
{
    const QString name = QStringLiteral("qtbase_zh_CN");
    QCoreApplication *app = QCoreApplication::instance();
    if (app->findChild<QTranslator *>(name))
        return;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    const QString qtFolder = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
    auto *translator = new QTranslator(app);
    translator->setObjectName(name);
    if (translator->load(name, QCoreApplication::applicationDirPath() +
                                   QStringLiteral("/translations")) ||
        translator->load(name, qtFolder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

// Qt sizes a box's details to its message, a few words, and wraps every path in them. They
// get the width of their longest line instead, as far as the box may grow: Qt keeps it
// within the screen less 480 pixels and 1000 at most, or a screen up to 1024 wide.
static void widenDetails(QMessageBox &box, const QStringList &details)
{
    auto *edit = box.findChild<QTextEdit *>();
    if (!edit)
        return;
    int widest = 0;
    for (const QString &line : details)
        widest = qMax(widest, edit->fontMetrics().horizontalAdvance(line));
    const int around = 2 * (edit->frameWidth() + qCeil(edit->document()->documentMargin())) +
                       edit->verticalScrollBar()->sizeHint().width();
    const int screen = QGuiApplication::primaryScreen()->availableGeometry().width();
    const QMargins margins = box.layout()->contentsMargins();
    const int limit =
        (screen <= 1024 ? screen : qMin(screen - 480, 1000)) - margins.left() - margins.right();
    edit->setMinimumWidth(qMin(widest + around, limit));
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
    widenDetails(box, details);
    box.exec();
}

// What a workspace's box says behind its details: each member that failed, what each
// member's .pro lacks, and what the workspace's own files do.
static QStringList workspaceDetails(const QString &workspace,
                                    const Corvane::WorkspaceResult &result)
{
    QStringList details;
    for (const Corvane::WorkspaceMemberResult &member : result.members) {
        const QString name = QDir::toNativeSeparators(member.path) + QStringLiteral(": ");
        if (!member.result.succeeded())
            details.append(name + member.failure());
        for (const QString &notice : Corvane::noticeTexts(member.result.notices))
            details.append(name + notice);
    }
    for (const QString &notice : Corvane::noticeTexts(result.notices))
        details.append(QDir::toNativeSeparators(workspace) + QStringLiteral(": ") + notice);
    return details;
}

// A drop's rule: the ending is checked without the dot, so "demo_uvproj" passes too.
static bool isProjectName(const QString &name)
{
    return name.endsWith(QLatin1String("uvprojx")) || name.endsWith(QLatin1String("uvproj")) ||
           name.endsWith(QLatin1String("uvmpw"));
}

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    // Files dropped on the path field go to the window's handlers instead of being pasted
    // into the field as text.
    setAcceptDrops(true);
    ui->lineEdit_FilePath->setAcceptDrops(false);
    setWindowIcon(corvaneIcon());
    loadQtTranslation();
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

void MainWindow::openPath(const QString &path)
{
    const QFileInfo file(path);
    if (!isProjectName(file.fileName()))
        notify(QStringLiteral("选择的文件不受支持!"));
    else if (!file.isFile())
        notify(Corvane::statusMessage(Corvane::ConversionStatus::ProjectOpenFailed));
    else
        ui->lineEdit_FilePath->setText(path);
}

bool MainWindow::convert(const QString &path)
{
    ui->lineEdit_FilePath->setText(path);
    return generate();
}

void MainWindow::on_pushButton_Gen_clicked()
{
    generate();
}

bool MainWindow::generate()
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
        notify(result.message(), workspaceDetails(ui->lineEdit_FilePath->text(), result));
        // A member that failed fails the run, as on the command line.
        return result.succeeded() &&
               std::all_of(result.members.cbegin(), result.members.cend(),
                           [](const auto &member) { return member.result.succeeded(); });
    }
    const Corvane::ConversionResult result =
        Corvane::convertProject(ui->lineEdit_FilePath->text(), options);
    notify(result.message(), Corvane::noticeTexts(result.notices));
    return result.succeeded();
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
    // A multi-file drop is judged by its first file only. A remote URL has no local path to
    // convert.
    const QList<QUrl> urls = data->hasUrls() ? data->urls() : QList<QUrl>();
    if (!urls.isEmpty() && urls.first().isLocalFile() && isProjectName(urls.first().fileName())) {
        ui->lineEdit_FilePath->setText(urls.first().toLocalFile());
        event->acceptProposedAction();
        return;
    }
    notify(QStringLiteral("选择的文件不受支持!"));
}
