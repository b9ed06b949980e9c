// Drives the real main window: its form, the Generate button, the file dialog and drops.

#include "mainwindow.h"
#include "modalwindows.h"
#include "projecttree.h"
#include "recordingtranslator.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMetaMethod>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolBar>
#include <QUrl>
#include <QtTest>

#include <memory>

namespace {

const QString notice = QStringLiteral("提示");
const QString unsupported = QStringLiteral("选择的文件不受支持!");

// A one-target CubeMX-style project, CRLF like a Windows checkout.
const char projectText[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\r\n"
                           "<Project xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                           "xsi:noNamespaceSchemaLocation=\"project_projx.xsd\">\r\n"
                           "  <SchemaVersion>2.1</SchemaVersion>\r\n"
                           "  <Targets>\r\n"
                           "    <Target>\r\n"
                           "      <TargetName>fw</TargetName>\r\n"
                           "      <TargetOption>\r\n"
                           "        <TargetCommonOption>\r\n"
                           "          <Device>STM32F103C8</Device>\r\n"
                           "          <Vendor>STMicroelectronics</Vendor>\r\n"
                           "        </TargetCommonOption>\r\n"
                           "        <TargetArmAds>\r\n"
                           "          <Cads>\r\n"
                           "            <VariousControls>\r\n"
                           "              <MiscControls></MiscControls>\r\n"
                           "              <Define>USE_HAL_DRIVER,STM32F103xB</Define>\r\n"
                           "              <Undefine></Undefine>\r\n"
                           "              <IncludePath>../Core/Inc</IncludePath>\r\n"
                           "            </VariousControls>\r\n"
                           "          </Cads>\r\n"
                           "        </TargetArmAds>\r\n"
                           "      </TargetOption>\r\n"
                           "      <Groups>\r\n"
                           "        <Group>\r\n"
                           "          <GroupName>Application/User</GroupName>\r\n"
                           "          <Files>\r\n"
                           "            <File>\r\n"
                           "              <FileName>main.c</FileName>\r\n"
                           "              <FileType>1</FileType>\r\n"
                           "              <FilePath>..\\Core\\Src\\main.c</FilePath>\r\n"
                           "            </File>\r\n"
                           "          </Files>\r\n"
                           "        </Group>\r\n"
                           "      </Groups>\r\n"
                           "    </Target>\r\n"
                           "  </Targets>\r\n"
                           "</Project>\r\n";

// What Generate writes for projectText; TIME stands for the banner's minute.
const char expectedPro[] = "###########################################\r\n"
                           "# Corvane V1.0\r\n"
                           "# The file was created on TIME\r\n"
                           "# By: Tolvar\r\n"
                           "###########################################\r\n"
                           "\r\n"
                           "CONFIG += console\r\n"
                           "CONFIG -= qt\r\n"
                           "\r\n"
                           "\r\n"
                           "# Device \tSTM32F103C8\r\n"
                           "\r\n"
                           "\r\n"
                           "DEFINES += \\ \r\n"
                           "\tUSE_HAL_DRIVER \\ \r\n"
                           "\tSTM32F103xB\r\n"
                           "\r\n"
                           "\r\n"
                           "INCLUDEPATH += \\ \r\n"
                           "\t../Core/Inc\r\n"
                           "\r\n"
                           "\r\n"
                           "\r\n"
                           "HEADERS += \\ \r\n"
                           "\t../Core/Inc/gpio.h \\\r\n"
                           "\t../Core/Inc/main.h \\\r\n"
                           "\r\n"
                           "\r\n"
                           "\r\n"
                           "\r\n"
                           "SOURCES += \\ \r\n"
                           "\t../Core/Src/main.c \\\r\n"
                           "\r\n"
                           "\r\n"
                           "\r\n";

const QRegularExpression bannerTime(QStringLiteral("(?<=# The file was created on )"
                                                   "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d(?=\r\n)"));

void writeFile(const QString &path, const QByteArray &content)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(content), qint64(content.size()));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<cannot open ") + path.toUtf8() + '>';
    return withoutUvisionBuild(file.readAll());
}

// Lays out <root>/<folder>/MDK-ARM/fw.uvprojx with its Core/Inc headers and returns the
// project path.
QString makeProject(const QString &root, const QString &folder = QStringLiteral("fw"))
{
    const QString base = root + QLatin1Char('/') + folder;
    writeFile(base + QStringLiteral("/Core/Inc/main.h"), "#pragma once\n");
    writeFile(base + QStringLiteral("/Core/Inc/gpio.h"), "#pragma once\n");
    writeFile(base + QStringLiteral("/Core/Src/main.c"), "int main(void) { return 0; }\n");
    const QString project = base + QStringLiteral("/MDK-ARM/fw.uvprojx");
    writeFile(project, projectText);
    return project;
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

std::unique_ptr<QMimeData> mimeData(const QList<QUrl> &urls, const QString &text)
{
    auto data = std::make_unique<QMimeData>();
    if (!urls.isEmpty())
        data->setUrls(urls);
    if (!text.isEmpty())
        data->setText(text);
    return data;
}

QUrl localUrl(const QString &path)
{
    return QUrl::fromLocalFile(path);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowFrame();
    void widgets_data();
    void widgets();
    void widgetsCreatedInOrder();
    void cannotBeResized();
    void textsGoThroughTranslate();
    void slotsInDeclaredOrder();
    void dropsGoToTheWindow();
    void chineseFontInstalled();

    void generateRefused_data();
    void generateRefused();
    void generateConverts_data();
    void generateConverts();
    void generateTwice();
    void generateShowsNotices();
    void generateWorkspace_data();
    void generateWorkspace();

    void chooseFileCancelled();
    void chooseFileAccepted();

    void dragEnter_data();
    void dragEnter();
    void drop_data();
    void drop();
    void dropOnPathField_data();
    void dropOnPathField();

    void pathArgument_data();
    void pathArgument();

private:
    QLineEdit *pathField() const { return m_window->findChild<QLineEdit *>("lineEdit_FilePath"); }
    QPushButton *button(const char *name) const
    {
        return m_window->findChild<QPushButton *>(QLatin1String(name));
    }
    QVector<ModalWindow> clickGenerate();
    // Sends drag enter and, when the window takes the drag, the drop, both at the centre of
    // target, as the shell's drag and drop would. Returns the modal windows shown.
    QVector<ModalWindow> dropOn(QWidget *target, const QMimeData &data, bool *entered);

    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestMainWindow::initTestCase()
{
#ifdef Q_OS_WIN
    // QMessageBox::showEvent asks the platform's native interface for the window's system
    // menu without checking that there is one; "minimal" has none, and the first box crashes.
    if (!QGuiApplication::platformNativeInterface())
        QSKIP("this platform plugin has no native interface, which QMessageBox needs on Windows; "
              "use QT_QPA_PLATFORM=offscreen");
#endif
}

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    m_dir.reset();
}

QVector<ModalWindow> TestMainWindow::clickGenerate()
{
    return answerModals([this] { QTest::mouseClick(button("pushButton_Gen"), Qt::LeftButton); });
}

QVector<ModalWindow> TestMainWindow::dropOn(QWidget *target, const QMimeData &data, bool *entered)
{
    const QPoint pos = target->rect().center();
    QDragEnterEvent enter(pos, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data,
                          Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    *entered = enter.isAccepted();
    if (!*entered)
        return {};
    return answerModals([&] {
        QDropEvent drop(pos, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    });
}

void TestMainWindow::windowFrame()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Corvane V1.1"));
    QCOMPARE(m_window->size(), QSize(300, 140));
    QVERIFY(m_window->findChildren<QMenuBar *>().isEmpty());
    QVERIFY(m_window->findChildren<QToolBar *>().isEmpty());
    QVERIFY(m_window->findChildren<QStatusBar *>().isEmpty());
    QVERIFY(m_window->centralWidget());
    QCOMPARE(m_window->centralWidget()->objectName(), QStringLiteral("centralwidget"));
    QCOMPARE(m_window->centralWidget()->geometry(), QRect(0, 0, 300, 140));
    // The icon is the 256 x 256 image compiled into the program.
    QCOMPARE(m_window->windowIcon().actualSize(QSize(1024, 1024)), QSize(256, 256));
}

void TestMainWindow::widgets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("className");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");

    QTest::newRow("label") << "Label_FilePath" << QByteArray("QLabel") << QRect(30, 30, 54, 21)
                           << QStringLiteral("文件路径：");
    QTest::newRow("path field") << "lineEdit_FilePath" << QByteArray("QLineEdit")
                                << QRect(90, 30, 181, 20) << QString();
    QTest::newRow("generate") << "pushButton_Gen" << QByteArray("QPushButton")
                              << QRect(180, 80, 80, 30) << QStringLiteral("生成");
    QTest::newRow("choose file") << "pushButton_ChooseFile" << QByteArray("QPushButton")
                                 << QRect(50, 80, 80, 30) << QStringLiteral("选择文件");
}

void TestMainWindow::widgets()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, className);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);

    const QList<QWidget *> found = m_window->findChildren<QWidget *>(name);
    QCOMPARE(found.size(), 1);
    QWidget *widget = found.first();
    QCOMPARE(QByteArray(widget->metaObject()->className()), className);
    QCOMPARE(widget->parentWidget(), m_window->centralWidget());
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->property("text").toString(), text);
    QVERIFY(widget->isVisible());
}

// Creation order is the tab order: path field, Generate, Choose file.
void TestMainWindow::widgetsCreatedInOrder()
{
    QStringList names;
    for (QObject *child : m_window->centralWidget()->children()) {
        if (child->isWidgetType())
            names << child->objectName();
    }
    QCOMPARE(names, QStringList({"Label_FilePath", "lineEdit_FilePath", "pushButton_Gen",
                                 "pushButton_ChooseFile"}));
    QCOMPARE(pathField()->nextInFocusChain(), button("pushButton_Gen"));
}

void TestMainWindow::cannotBeResized()
{
    QCOMPARE(m_window->minimumSize(), QSize(300, 140));
    QCOMPARE(m_window->maximumSize(), QSize(300, 140));
    m_window->resize(640, 480);
    QCOMPARE(m_window->size(), QSize(300, 140));
    m_window->resize(100, 50);
    QCOMPARE(m_window->size(), QSize(300, 140));
}

void TestMainWindow::textsGoThroughTranslate()
{
    RecordingTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    MainWindow window;
    QCoreApplication::removeTranslator(&translator);

    // Qt looks up texts of its own too (the layout direction); only the window's count.
    const QStringList lookups = translator.lookups.filter(QRegularExpression("^MainWindow\\|"));
    QCOMPARE(lookups, QStringList({
                          QStringLiteral("MainWindow|Corvane V1.1|<null>|-1"),
                          QStringLiteral("MainWindow|文件路径：|<null>|-1"),
                          QStringLiteral("MainWindow|生成|<null>|-1"),
                          QStringLiteral("MainWindow|选择文件|<null>|-1"),
                      }));
    QCOMPARE(window.windowTitle(), QStringLiteral("[Corvane V1.1]"));
    QCOMPARE(window.findChild<QLabel *>("Label_FilePath")->text(), QStringLiteral("[文件路径：]"));
    QCOMPARE(window.findChild<QPushButton *>("pushButton_Gen")->text(), QStringLiteral("[生成]"));
    QCOMPARE(window.findChild<QPushButton *>("pushButton_ChooseFile")->text(),
             QStringLiteral("[选择文件]"));
}

void TestMainWindow::slotsInDeclaredOrder()
{
    const QMetaObject *meta = m_window->metaObject();
    QCOMPARE(meta, &MainWindow::staticMetaObject);
    QCOMPARE(QByteArray(meta->className()), QByteArray("MainWindow"));
    QCOMPARE(meta->superClass(), &QMainWindow::staticMetaObject);
    QCOMPARE(meta->propertyCount(), meta->propertyOffset());
    QCOMPARE(meta->enumeratorCount(), meta->enumeratorOffset());

    const QList<QByteArray> expected = {
        "on_pushButton_ChooseFile_clicked()",
        "on_pushButton_Gen_clicked()",
        "dragEnterEvent(QDragEnterEvent*)",
        "dropEvent(QDropEvent*)",
    };
    QCOMPARE(meta->methodCount() - meta->methodOffset(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const QMetaMethod method = meta->method(meta->methodOffset() + i);
        QCOMPARE(method.methodSignature(), expected.at(i));
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
        QCOMPARE(method.access(), QMetaMethod::Private);
    }
    QVERIFY(qobject_cast<QMainWindow *>(m_window.get()));
    QVERIFY(m_window->inherits("MainWindow"));
}

void TestMainWindow::dropsGoToTheWindow()
{
    QVERIFY(m_window->acceptDrops());
    QVERIFY(!pathField()->acceptDrops());
}

// Without a CJK font every Chinese label renders as boxes (the set-up installs one).
void TestMainWindow::chineseFontInstalled()
{
    QVERIFY2(!QFontDatabase().families(QFontDatabase::SimplifiedChinese).isEmpty(),
             "no font for Simplified Chinese; on Debian: apt-get install fonts-noto-cjk");
}

void TestMainWindow::generateRefused_data()
{
    QTest::addColumn<QString>("path"); // relative to the project folder; "" stays empty
    QTest::addColumn<QString>("message");

    QTest::newRow("empty field") << "" << QStringLiteral("打开文件路径为空！");
    QTest::newRow("not a project file") << "main.c" << QStringLiteral("打开文件路径有误！");
    QTest::newRow("suffix in capitals") << "FW.UVPROJX" << QStringLiteral("打开文件路径有误！");
    QTest::newRow("project file missing")
        << "other.uvprojx" << QStringLiteral("打开工程文件失败！");
    QTest::newRow("fw.pro is a folder") << "fw.uvprojx" << QStringLiteral("QT工程创建失败");
}

void TestMainWindow::generateRefused()
{
    QFETCH(QString, path);
    QFETCH(QString, message);

    const QString project = makeProject(m_dir->path());
    const QString folder = QFileInfo(project).absolutePath();
    writeFile(folder + QStringLiteral("/main.c"), "int x;\n");
    writeFile(folder + QStringLiteral("/FW.UVPROJX"), projectText);
    QVERIFY(QDir(folder).mkdir(QStringLiteral("fw.pro")));
    const QStringList before = entries(folder);

    const QString text = path.isEmpty() ? QString() : folder + QLatin1Char('/') + path;
    pathField()->setText(text);
    const QVector<ModalWindow> shown = clickGenerate();

    QCOMPARE(shown.size(), 1);
    QCOMPARE(QByteArray(shown.first().className), QByteArray("QMessageBox"));
    QCOMPARE(shown.first().title, notice);
    QCOMPARE(shown.first().text, message);
    QVERIFY(!shown.first().parent); // boxes have no parent window
    QCOMPARE(entries(folder), before);
    QCOMPARE(pathField()->text(), text);
}

void TestMainWindow::generateConverts_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("typed");

    QTest::newRow("typed path") << "fw" << true;
    // Chinese and a blank in the folder, as Keil course projects have; pasted, since the
    // test's key clicks carry Latin-1 only.
    QTest::newRow("pasted path, Chinese folder") << QStringLiteral("4-1 OLED显示屏") << false;
}

void TestMainWindow::generateConverts()
{
    QFETCH(QString, folder);
    QFETCH(bool, typed);

    const QString project = makeProject(m_dir->path(), folder);
    const QString output = QFileInfo(project).absolutePath() + QStringLiteral("/fw.pro");
    if (typed)
        QTest::keyClicks(pathField(), project);
    else
        pathField()->setText(project);
    QCOMPARE(pathField()->text(), project);

    const QDateTime start = QDateTime::currentDateTime();
    QByteArray whileShown;
    const QVector<ModalWindow> shown =
        answerModals([this] { QTest::mouseClick(button("pushButton_Gen"), Qt::LeftButton); },
                     [&](QWidget *box) {
                         // The file must be complete by the time the user is told it is.
                         whileShown = readFile(output);
                         static_cast<QDialog *>(box)->accept();
                     });
    const QDateTime end = QDateTime::currentDateTime();

    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().title, notice);
    QCOMPARE(shown.first().text, QStringLiteral("工程转换成功！"));
    QCOMPARE(shown.first().details, QString()); // nothing missing: the box as it always was

    const QByteArray written = readFile(output);
    QCOMPARE(whileShown, written);
    const QRegularExpressionMatch time = bannerTime.match(QString::fromLatin1(written));
    QVERIFY2(time.hasMatch(), written.constData());
    const QString stamp = time.captured();
    const QString format = QStringLiteral("yyyy-MM-dd hh:mm");
    QVERIFY2(stamp == start.toString(format) || stamp == end.toString(format), qPrintable(stamp));
    QCOMPARE(QString::fromLatin1(written),
             QString::fromLatin1(expectedPro).replace(QLatin1String("TIME"), stamp));
    // Nothing but the project and its .pro: no temporary file left behind.
    QCOMPARE(entries(QFileInfo(project).absolutePath()), QStringList({"fw.pro", "fw.uvprojx"}));
    QCOMPARE(pathField()->text(), project);
}

void TestMainWindow::generateTwice()
{
    const QString project = makeProject(m_dir->path());
    const QString output = QFileInfo(project).absolutePath() + QStringLiteral("/fw.pro");
    pathField()->setText(project);

    QVector<ModalWindow> shown = clickGenerate();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().text, QStringLiteral("工程转换成功！"));
    const QString first = QString::fromLatin1(readFile(output));

    shown = clickGenerate();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().text, QStringLiteral("工程转换成功！"));
    const QString second = QString::fromLatin1(readFile(output));

    QVERIFY(bannerTime.match(first).hasMatch());
    QCOMPARE(QString(second).replace(bannerTime, QStringLiteral("TIME")),
             QString(first).replace(bannerTime, QStringLiteral("TIME")));
    QCOMPARE(QString(second).replace(bannerTime, QStringLiteral("TIME")),
             QString::fromLatin1(expectedPro));
}

void TestMainWindow::generateShowsNotices()
{
    // A device pack that is not installed and a source named in another letter case than the
    // disk has: the .pro is written all the same, and the box says so behind its details, with
    // Qt's Chinese on its buttons. The details are as wide as their last line or as the box may
    // grow on the screen (the offscreen platform's 800 pixels hold no 100 characters at its 12
    // points), and not a pixel wider.
    const QString project = makeProject(m_dir->path());
    writeFile(project, QByteArray(projectText)
                           .replace("<Vendor>", "<PackID>Keil.STM32F1xx_DFP.2.4.0</PackID><Vendor>")
                           .replace("..\\Core\\Src\\main.c", "..\\core\\src\\main.c"));
    pathField()->setText(project);

    QString buttons;
    int lastLines = 0;
    QRect box, detailsArea;
    const QVector<ModalWindow> shown =
        answerModals([this] { QTest::mouseClick(button("pushButton_Gen"), Qt::LeftButton); },
                     [&](QWidget *modal) {
                         auto *shownBox = static_cast<QMessageBox *>(modal);
                         for (QAbstractButton *b : shownBox->buttons()) {
                             buttons += b->text();
                             if (shownBox->buttonRole(b) == QMessageBox::ActionRole)
                                 b->click(); // Show Details
                         }
                         auto *edit = shownBox->findChild<QTextEdit *>();
                         lastLines =
                             edit->document()->lastBlock().layout()->lineCount(); // laid out now
                         box = shownBox->rect();
                         detailsArea = edit->geometry();
                         modal->close();
                     });
    QVERIFY2(!buttons.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))),
             qPrintable(buttons));
    QVERIFY(lastLines == 1 || box.width() == QGuiApplication::primaryScreen()->size().width());
    QVERIFY(box.contains(detailsArea));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().title, notice);
    QCOMPARE(shown.first().text, QStringLiteral("工程转换成功！"));
    const QStringList details = shown.first().details.split(QLatin1Char('\n'));
    const bool caseCounts = caseSensitiveFileSystem(m_dir->path());
    QCOMPARE(details.size(), caseCounts ? 2 : 1);
    QVERIFY2(details.first().startsWith(
                 QStringLiteral("pack Keil.STM32F1xx_DFP 2.4.0 is not installed in ")),
             qPrintable(details.first()));
    if (caseCounts)
        QCOMPARE(details.last(), QStringLiteral("file ../core/src/main.c is on disk as "
                                                "../Core/Src/main.c, which is used"));
    QVERIFY(QFileInfo::exists(QFileInfo(project).absolutePath() + QStringLiteral("/fw.pro")));
}

void TestMainWindow::generateWorkspace_data()
{
    QTest::addColumn<QStringList>("members"); // folders under the workspace's; "fw" exists
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("written");

    // Members that failed are named behind the box's details, whatever the outcome.
    QTest::newRow("one member missing")
        << QStringList{"fw", "gone"} << QStringLiteral("工程转换成功！")
        << QStringList{"WS.pro", "fw/MDK-ARM/fw.pro"};
    QTest::newRow("none converted")
        << QStringList{"gone", "lost"} << QStringLiteral("打开工程文件失败！") << QStringList();
}

void TestMainWindow::generateWorkspace()
{
    QFETCH(QStringList, members);
    QFETCH(QString, message);
    QFETCH(QStringList, written);

    makeProject(m_dir->path());
    QByteArray workspace = "<ProjectWorkspace>\r\n";
    QStringList details;
    for (const QString &member : members) {
        workspace += "  <project>\r\n    <PathAndName>.\\" + member.toUtf8() + "\\MDK-ARM\\" +
                     "fw.uvprojx</PathAndName>\r\n  </project>\r\n";
        if (member != QLatin1String("fw"))
            details.append(QDir::toNativeSeparators(m_dir->path() + QLatin1Char('/') + member +
                                                    QStringLiteral("/MDK-ARM/fw.uvprojx")) +
                           QStringLiteral(": 打开工程文件失败！ not found"));
    }
    const QString path = m_dir->path() + QStringLiteral("/WS.uvmpw");
    writeFile(path, workspace + "</ProjectWorkspace>\r\n");
    pathField()->setText(path);

    const QVector<ModalWindow> shown = clickGenerate();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().title, notice);
    QCOMPARE(shown.first().text, message);
    QCOMPARE(shown.first().details, details.join(QLatin1Char('\n')));
    for (const QString &file : {QStringLiteral("WS.pro"), QStringLiteral("fw/MDK-ARM/fw.pro")})
        QCOMPARE(QFileInfo::exists(m_dir->path() + QLatin1Char('/') + file),
                 written.contains(file));
}

void TestMainWindow::chooseFileCancelled()
{
    pathField()->setText(QStringLiteral("D:/fw/MDK-ARM/fw.uvprojx"));
    bool isFileDialog = false;
    QStringList filters;
    QWidget *parent = nullptr;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QFileDialog::AcceptMode acceptMode = QFileDialog::AcceptSave;
    const QVector<ModalWindow> shown =
        answerModals([this] { QTest::mouseClick(button("pushButton_ChooseFile"), Qt::LeftButton); },
                     [&](QWidget *modal) {
                         if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                             isFileDialog = true;
                             filters = dialog->nameFilters();
                             parent = dialog->parentWidget();
                             mode = dialog->fileMode();
                             acceptMode = dialog->acceptMode();
                         }
                         modal->close();
                     });

    QCOMPARE(shown.size(), 1);
    QVERIFY(isFileDialog);
    QCOMPARE(shown.first().title, QStringLiteral("选择MDK工程文件 "));
    QCOMPARE(filters, QStringList({"*.uvprojx *.uvproj *.uvmpw"}));
    QCOMPARE(parent, m_window.get());
    QCOMPARE(mode, QFileDialog::ExistingFile);
    QCOMPARE(acceptMode, QFileDialog::AcceptOpen);
    QCOMPARE(pathField()->text(), QStringLiteral("D:/fw/MDK-ARM/fw.uvprojx"));
}

void TestMainWindow::chooseFileAccepted()
{
    const QString project = makeProject(m_dir->path());
    pathField()->setText(QStringLiteral("old text"));
    const QVector<ModalWindow> shown = answerModals(
        [this] { QTest::mouseClick(button("pushButton_ChooseFile"), Qt::LeftButton); },
        [&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (!dialog) {
                modal->close();
                return;
            }
            dialog->selectFile(project);
            static_cast<QDialog *>(dialog)->accept(); // QFileDialog::accept is protected
            if (dialog->isVisible())                  // refused the selection: do not hang
                dialog->reject();
        });

    QCOMPARE(shown.size(), 1);
    QCOMPARE(QByteArray(shown.first().className), QByteArray("QFileDialog"));
    QCOMPARE(pathField()->text(), project);
}

void TestMainWindow::dragEnter_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("project file") << QList<QUrl>{localUrl("/home/dev/fw/MDK-ARM/fw.uvprojx")}
                                  << QString() << true;
    // Whether the file will do is decided at the drop.
    QTest::newRow("other file") << QList<QUrl>{localUrl("/home/dev/notes.txt")} << QString()
                                << true;
    QTest::newRow("remote URL") << QList<QUrl>{QUrl("https://example.com/fw.uvprojx")} << QString()
                                << true;
    QTest::newRow("file with its path as text")
        << QList<QUrl>{localUrl("/home/dev/fw.uvprojx")} << "/home/dev/fw.uvprojx" << true;
    QTest::newRow("text only") << QList<QUrl>() << "/home/dev/fw/MDK-ARM/fw.uvprojx" << false;
    QTest::newRow("no data") << QList<QUrl>() << QString() << false;
}

void TestMainWindow::dragEnter()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(QString, text);
    QFETCH(bool, accepted);

    const auto data = mimeData(urls, text);
    const QVector<ModalWindow> shown = answerModals([&] {
        QDragEnterEvent enter(QPoint(150, 70), Qt::CopyAction | Qt::MoveAction, data.get(),
                              Qt::LeftButton, Qt::NoModifier);
        enter.setDropAction(Qt::MoveAction);
        QApplication::sendEvent(m_window.get(), &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        if (accepted)
            QCOMPARE(enter.dropAction(), enter.proposedAction());
    });
    QVERIFY(shown.isEmpty());
}

void TestMainWindow::drop_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<bool>("taken");

    const QString dir = QStringLiteral("/home/dev/fw/MDK-ARM/");
    QTest::newRow("fw.uvprojx") << QList<QUrl>{localUrl(dir + "fw.uvprojx")} << true;
    QTest::newRow("fw.uvproj") << QList<QUrl>{localUrl(dir + "fw.uvproj")} << true;
    QTest::newRow("demo_uvproj") << QList<QUrl>{localUrl(dir + "demo_uvproj")} << true;
    QTest::newRow("Chinese folder")
        << QList<QUrl>{localUrl(QStringLiteral("/home/dev/4-1 OLED显示屏/Project.uvprojx"))}
        << true;
    QTest::newRow("WS.uvmpw") << QList<QUrl>{localUrl(dir + "WS.uvmpw")} << true;
    QTest::newRow("project first of several")
        << QList<QUrl>{localUrl(dir + "fw.uvprojx"), localUrl(dir + "readme.txt")} << true;
    QTest::newRow("fw.UVPROJX") << QList<QUrl>{localUrl(dir + "fw.UVPROJX")} << false;
    QTest::newRow("fw.uvprojx.bak") << QList<QUrl>{localUrl(dir + "fw.uvprojx.bak")} << false;
    QTest::newRow("fw.uvoptx") << QList<QUrl>{localUrl(dir + "fw.uvoptx")} << false;
    QTest::newRow("WS.uvmpw.bak") << QList<QUrl>{localUrl(dir + "WS.uvmpw.bak")} << false;
    QTest::newRow("folder") << QList<QUrl>{localUrl(dir)} << false;
    QTest::newRow("bad first of several")
        << QList<QUrl>{localUrl(dir + "fw.uvoptx"), localUrl(dir + "fw.uvprojx")} << false;
    QTest::newRow("remote URL") << QList<QUrl>{QUrl("https://example.com/fw/fw.uvprojx")} << false;
    QTest::newRow("empty URL list") << QList<QUrl>() << false;
}

void TestMainWindow::drop()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(bool, taken);

    const QString before = QStringLiteral("D:/old/old.uvprojx");
    pathField()->setText(before);
    QMimeData data;
    // An empty list still arrives as URL data (a text/uri-list without entries).
    data.setData(QStringLiteral("text/uri-list"), QByteArray());
    if (!urls.isEmpty())
        data.setUrls(urls);
    QVERIFY(data.hasUrls());

    bool entered = false;
    const QVector<ModalWindow> shown = dropOn(m_window.get(), data, &entered);
    QVERIFY(entered);
    if (taken) {
        QVERIFY(shown.isEmpty());
        QCOMPARE(pathField()->text(), urls.first().toLocalFile());
    } else {
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().title, notice);
        QCOMPARE(shown.first().text, unsupported);
        QVERIFY(!shown.first().parent); // boxes have no parent window
        QCOMPARE(pathField()->text(), before);
    }
}

void TestMainWindow::dropOnPathField_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("taken");

    QTest::newRow("project file") << "/home/dev/fw/MDK-ARM/fw.uvprojx" << true;
    QTest::newRow("other file") << "/home/dev/fw/MDK-ARM/fw.uvoptx" << false;
}

// File managers offer the path as text too; the field must not paste it.
void TestMainWindow::dropOnPathField()
{
    QFETCH(QString, file);
    QFETCH(bool, taken);

    const QString before = QStringLiteral("D:/old/old.uvprojx");
    pathField()->setText(before);
    pathField()->setCursorPosition(3);
    const auto data = mimeData({localUrl(file)}, file);

    bool entered = false;
    const QVector<ModalWindow> shown = dropOn(pathField(), *data, &entered);
    QVERIFY(entered);
    if (taken) {
        QVERIFY(shown.isEmpty());
        QCOMPARE(pathField()->text(), file);
    } else {
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().text, unsupported);
        QCOMPARE(pathField()->text(), before);
    }
}

// `corvane PATH` (or a file dropped on its icon) and `corvane --convert PATH`, for a path in a
// project's MDK-ARM folder. Opened without a message, the field takes the path.
void TestMainWindow::pathArgument_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("converted");

    const QString openFailed = QStringLiteral("打开工程文件失败！");
    QTest::newRow("project") << "fw.uvprojx" << QString() << QStringLiteral("工程转换成功！");
    QTest::newRow("missing") << "gone.uvprojx" << openFailed << openFailed;
    QTest::newRow("wrong suffix") << "../Core/Src/main.c" << unsupported
                                  << QStringLiteral("打开文件路径有误！");
}

void TestMainWindow::pathArgument()
{
    QFETCH(QString, name);
    QFETCH(QString, opened);
    QFETCH(QString, converted);

    const QString project = makeProject(m_dir->path(), QStringLiteral("4-1 OLED显示屏"));
    writeFile(project,
              QByteArray(projectText).replace("<Vendor>", "<PackID>K.F1.2.4.0</PackID><Vendor>"));
    const QString path = QFileInfo(project).absolutePath() + QLatin1Char('/') + name;
    QVector<ModalWindow> shown = answerModals([&] { m_window->openPath(path); });
    QCOMPARE(shown.isEmpty() ? QString() : shown.first().text, opened);
    QCOMPARE(pathField()->text(), opened.isEmpty() ? path : QString());

    // --convert: Generate's box, details (a pack is missing) included, and the outcome.
    bool succeeded = false;
    shown = answerModals([&] { succeeded = m_window->convert(path); });
    const QVector<ModalWindow> generated = clickGenerate();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().text, converted);
    QCOMPARE(succeeded, opened.isEmpty());
    QCOMPARE(shown.first().details, generated.first().details);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
