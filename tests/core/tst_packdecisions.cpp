// The decisions of the pack resolver, each pinned on a small pack tree of its own: which
// installed version counts, which condition holds for which device, what a device inherits,
// which component a selection stands for, and what the notices say.

#include "additionrun.h"
#include "packs/packconditions.h"
#include "packs/packdescription.h"
#include "projecttree.h"

#include <QtTest>

using namespace Corvane;

namespace {

// One version of a device family pack; each version has a define of its own so that the
// version used shows.
QByteArray acmeDfp(const QString &version)
{
    const QByteArray define = "V" + version.toUtf8().replace('.', '_').replace('-', '_');
    return "<package><vendor>Acme</vendor><name>AC1_DFP</name><devices>"
           "<family Dfamily=\"AC1\" Dvendor=\"Acme:99\"><processor Dcore=\"Cortex-M4\"/>"
           "<compile header=\"Include/ac1.h\" define=\"" +
           define + "\"/><device Dname=\"AC100\"/></family></devices></package>";
}

const QByteArray cmsisCore = "<package><vendor>ARM</vendor><name>CMSIS</name><components>"
                             "<component Cclass=\"CMSIS\" Cgroup=\"CORE\"><files>"
                             "<file category=\"include\" name=\"Core/Include/\"/>"
                             "</files></component></components></package>";

// Devices with and without an FPU, of two vendors; conditions on each kind of term.
const QByteArray conditionPack = R"(<package><vendor>Acme</vendor><name>Parts</name>
  <conditions>
    <condition id="M4 or M7 of Acme, not AC101">
      <require Dvendor="Acme:99"/>
      <accept Dcore="Cortex-M4"/><accept Dcore="Cortex-M7"/>
      <deny Dname="AC101"/>
    </condition>
    <condition id="no FPU"><require Dfpu="NO_FPU"/></condition>
    <condition id="FPU"><require Dfpu="FPU"/></condition>
    <condition id="ST by id"><require Dvendor="STMicroelectronics:13"/></condition>
    <condition id="ST by name"><require Dvendor="STMicroelectronics"/></condition>
    <condition id="Cortex-A"><require Dcore="Cortex-A9"/></condition>
    <condition id="AC6 with RTOS2">
      <require Tcompiler="ARMCC" Toptions="AC6"/><require Cclass="CMSIS" Cgroup="RTOS2"/>
    </condition>
  </conditions>
  <devices>
    <family Dfamily="AC1" Dvendor="Acme:99">
      <processor Dcore="Cortex-M4" Dfpu="SP_FPU"/>
      <compile header="Include/ac1.h" define="AC1"/>
      <device Dname="AC100"/>
      <device Dname="AC101"/>
      <device Dname="AC110"><processor Dfpu="NO_FPU"/></device>
      <device Dname="AC120"><processor Dcore="Cortex-M0" Dfpu="0"/></device>
    </family>
    <family Dfamily="STM32F7" Dvendor="STMicroelectronics:13">
      <processor Dcore="Cortex-M7" Dfpu="1"/>
      <device Dname="STM32F746"/>
    </family>
  </devices>
  <components>
    <component Cclass="Device" Cgroup="Startup" Cvariant="C Startup">
      <files><file category="include" name="Variant/"/></files>
    </component>
    <component Cclass="Device" Cgroup="Startup">
      <files>
        <file category="include" name="Startup/"/>
        <file category="header" name="Fpu/fpu.h" condition="FPU"/>
        <file category="header" name="NoFpu/nofpu.h" condition="no FPU"/>
        <file category="header" name="Template/user.h" attr="template"/>
      </files>
    </component>
    <component Cclass="Drivers" Cgroup="UART" Csub="DMA">
      <files><file category="include" name="UartDma/"/></files>
    </component>
    <component Cclass="Drivers" Cgroup="UART">
      <files><file category="include" name="Uart/"/></files>
    </component>
  </components>
</package>)";

// A one-target project; `options` and the RTE components are inserted as they are.
QByteArray project(const QByteArray &options, const QList<QByteArray> &components = {})
{
    QByteArray rte;
    for (const QByteArray &c : components)
        rte += "<component " + c +
               "><package name=\"Parts\" vendor=\"Acme\" version=\"1.0.0\"/></component>\n";
    return "<Project><Targets><Target>\n<TargetName>Target 1</TargetName>\n" + options +
           "\n</Target></Targets>\n<RTE><components>\n" + rte + "</components></RTE></Project>\n";
}

// Targets named T1, T2 ... that each name a pack that is not installed.
QByteArray targetsWithoutTheirPack(int count)
{
    QByteArray targets;
    for (int i = 1; i <= count; ++i)
        targets += "<Target><TargetName>T" + QByteArray::number(i) +
                   "</TargetName><Device>N1</Device><PackID>Nowhere.N1_DFP.1.0.0</PackID>"
                   "</Target>\n";
    return "<Project><Targets>\n" + targets + "</Targets></Project>\n";
}

} // namespace

class TestPackDecisions : public QObject
{
    Q_OBJECT

private slots:
    void newestVersion_data();
    void newestVersion();
    void conditions_data();
    void conditions();
    void inheritance_data();
    void inheritance();
    void components_data();
    void components();
    void notices_data();
    void notices();
    void cmsisVersion_data();
    void cmsisVersion();
};

void TestPackDecisions::newestVersion_data()
{
    QTest::addColumn<QByteArray>("project");
    QTest::addColumn<QStringList>("installed"); // Vendor/Name/Version; "!" at the end: no files
    QTest::addColumn<QStringList>("defines");
    QTest::addColumn<QStringList>("packFolders");

    const QByteArray byDevice =
        project("<Device>AC100</Device><RegisterFile>$$Device:AC100$Include\\ac1.h</RegisterFile>");
    const QString acme = QStringLiteral("Acme/AC1_DFP/");
    QTest::newRow("$$Device: the newest version with the header")
        << byDevice << QStringList{acme + "1.2.0", acme + "1.10.0", acme + "2.0.0!"}
        << QStringList{QStringLiteral("V1_10_0")}
        << QStringList{QStringLiteral("@/Acme/AC1_DFP/1.10.0/Include")};
    QTest::newRow("$$Device: a release after its pre-release")
        << byDevice << QStringList{acme + "2.0.0", acme + "2.0.0-rc.1"}
        << QStringList{QStringLiteral("V2_0_0")}
        << QStringList{QStringLiteral("@/Acme/AC1_DFP/2.0.0/Include")};
    QTest::newRow("$$Device: none has the header, the newest")
        << byDevice << QStringList{acme + "1.2.0!", acme + "1.10.0!"}
        << QStringList{QStringLiteral("V1_10_0")} << QStringList();

    // MDK's own Core, for a target without a CMSIS Core component, is CMSIS 5.
    const QByteArray noCore = project("<Device>XYZ</Device>");
    const QString cmsis = QStringLiteral("ARM/CMSIS/");
    QTest::newRow("Core: the newest before 6.0.0")
        << noCore
        << QStringList{cmsis + "5.4.0", cmsis + "5.9.0", cmsis + "6.0.0-dev", cmsis + "6.1.0"}
        << QStringList() << QStringList{QStringLiteral("@/ARM/CMSIS/5.9.0/Core/Include")};
    QTest::newRow("Core: 6.0.0-dev is CMSIS 6")
        << noCore << QStringList{cmsis + "5.9.0", cmsis + "6.0.0-dev"} << QStringList()
        << QStringList{QStringLiteral("@/ARM/CMSIS/5.9.0/Core/Include")};
    QTest::newRow("Core: 5.10.0 after 5.9.0")
        << noCore << QStringList{cmsis + "5.9.0", cmsis + "5.10.0"} << QStringList()
        << QStringList{QStringLiteral("@/ARM/CMSIS/5.10.0/Core/Include")};
    QTest::newRow("Core: only CMSIS 6, the newest")
        << noCore << QStringList{cmsis + "6.0.0-dev", cmsis + "6.1.0"} << QStringList()
        << QStringList{QStringLiteral("@/ARM/CMSIS/6.1.0/Core/Include")};
}

void TestPackDecisions::newestVersion()
{
    QFETCH(QByteArray, project);
    QFETCH(QStringList, installed);
    QFETCH(QStringList, defines);
    QFETCH(QStringList, packFolders);

    ProjectTree tree;
    for (QString folder : qAsConst(installed)) {
        const bool files = !folder.endsWith(QLatin1Char('!'));
        folder.remove(QLatin1Char('!'));
        const QString version = folder.section(QLatin1Char('/'), 2);
        const bool isCmsis = folder.startsWith(QLatin1String("ARM/"));
        const QString pdsc =
            isCmsis ? QStringLiteral("/ARM.CMSIS.pdsc") : QStringLiteral("/Acme.AC1_DFP.pdsc");
        QVERIFY(tree.add(QStringLiteral("packs/") + folder + pdsc,
                         isCmsis ? cmsisCore : acmeDfp(version)));
        if (files)
            QVERIFY(tree.add(QStringLiteral("packs/") + folder +
                             (isCmsis ? QStringLiteral("/Core/Include/core_cm4.h")
                                      : QStringLiteral("/Include/ac1.h"))));
    }
    const AdditionRun run(project, tree.root(), tree.path(QStringLiteral("packs")));
    QVERIFY(run.surveyed);
    QCOMPARE(run.additions.defines, defines);
    QCOMPARE(run.additions.packFolders, packFolders);
    QCOMPARE(run.notices, QStringList());
}

void TestPackDecisions::conditions_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QString>("device"); // empty: a device no pack describes
    QTest::addColumn<bool>("armCompiler6");
    QTest::addColumn<QByteArray>("component"); // "Cclass/Cgroup" of a selected component
    QTest::addColumn<bool>("holds");

    const QString cores = QStringLiteral("M4 or M7 of Acme, not AC101");
    QTest::newRow("require, accept and deny hold")
        << cores << "AC100" << false << QByteArray() << true;
    QTest::newRow("deny") << cores << "AC101" << false << QByteArray() << false;
    QTest::newRow("no accept holds") << cores << "AC120" << false << QByteArray() << false;
    QTest::newRow("require fails, accept holds")
        << cores << "STM32F746" << false << QByteArray() << false;
    QTest::newRow("unknown device: device terms hold")
        << QStringLiteral("FPU") << QString() << false << QByteArray() << true;
    QTest::newRow("unknown device: not a Cortex-A")
        << QStringLiteral("Cortex-A") << QString() << false << QByteArray() << false;

    const QString noFpu = QStringLiteral("no FPU");
    const QString fpu = QStringLiteral("FPU");
    QTest::newRow("NO_FPU, device with SP_FPU")
        << noFpu << "AC100" << false << QByteArray() << false;
    QTest::newRow("NO_FPU, device with NO_FPU")
        << noFpu << "AC110" << false << QByteArray() << true;
    QTest::newRow("NO_FPU, device with 0") << noFpu << "AC120" << false << QByteArray() << true;
    QTest::newRow("NO_FPU, device with 1")
        << noFpu << "STM32F746" << false << QByteArray() << false;
    QTest::newRow("FPU, device with SP_FPU") << fpu << "AC100" << false << QByteArray() << true;
    QTest::newRow("FPU, device with NO_FPU") << fpu << "AC110" << false << QByteArray() << false;

    QTest::newRow("vendor with its id")
        << QStringLiteral("ST by id") << "STM32F746" << false << QByteArray() << true;
    QTest::newRow("vendor with its id, another vendor")
        << QStringLiteral("ST by id") << "AC100" << false << QByteArray() << false;
    QTest::newRow("vendor by name, device with an id")
        << QStringLiteral("ST by name") << "STM32F746" << false << QByteArray() << true;

    const QString ac6 = QStringLiteral("AC6 with RTOS2");
    QTest::newRow("compiler and component")
        << ac6 << "AC100" << true << QByteArray("CMSIS/RTOS2") << true;
    QTest::newRow("Arm Compiler 5")
        << ac6 << "AC100" << false << QByteArray("CMSIS/RTOS2") << false;
    QTest::newRow("component not selected")
        << ac6 << "AC100" << true << QByteArray("CMSIS/CORE") << false;
}

void TestPackDecisions::conditions()
{
    QFETCH(QString, condition);
    QFETCH(QString, device);
    QFETCH(bool, armCompiler6);
    QFETCH(QByteArray, component);
    QFETCH(bool, holds);

    const PackDescription description = readPackDescription(conditionPack);
    QVERIFY(description.isValid());
    QVERIFY(description.conditions.contains(condition));
    ConditionContext context;
    context.device = device.isEmpty() ? nullptr : description.device(device);
    QVERIFY(device.isEmpty() || context.device);
    context.armCompiler6 = armCompiler6;
    if (!component.isEmpty())
        context.components.append(
            {{QStringLiteral("Cclass"), QString::fromUtf8(component.split('/').at(0))},
             {QStringLiteral("Cgroup"), QString::fromUtf8(component.split('/').at(1))}});
    QCOMPARE(conditionHolds(description, condition, context), holds);
}

void TestPackDecisions::inheritance_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("attribute"); // "header", "define" or a device attribute
    QTest::addColumn<QString>("value");

    QTest::newRow("sub-family over family") << "AC101"
                                            << "Dfpu"
                                            << "NO_FPU";
    QTest::newRow("device over sub-family") << "AC100"
                                            << "Dfpu"
                                            << "DP_FPU";
    QTest::newRow("variant keeps its device's") << "AC100T6"
                                                << "Dfpu"
                                                << "DP_FPU";
    QTest::newRow("variant over device, header") << "AC100T6"
                                                 << "header"
                                                 << "Include/ac100t6.h";
    QTest::newRow("device keeps its family's header") << "AC100"
                                                      << "header"
                                                      << "Include/ac1.h";
    QTest::newRow("define only the family states") << "AC100T6"
                                                   << "define"
                                                   << "AC1_FAMILY";
    QTest::newRow("device over family, define") << "AC200"
                                                << "define"
                                                << "AC200";
    QTest::newRow("family's processor") << "AC200"
                                        << "Dcore"
                                        << "Cortex-M4";
    QTest::newRow("nothing from a sibling sub-family") << "AC200"
                                                       << "DsubFamily"
                                                       << "";
    QTest::newRow("variant's device name") << "AC100T6"
                                           << "Dname"
                                           << "AC100";
}

void TestPackDecisions::inheritance()
{
    QFETCH(QString, device);
    QFETCH(QString, attribute);
    QFETCH(QString, value);

    const PackDescription description = readPackDescription(R"(<package><vendor>Acme</vendor>
      <devices><family Dfamily="AC1" Dvendor="Acme:99">
        <processor Dcore="Cortex-M4" Dfpu="SP_FPU"/>
        <compile header="Include/ac1.h" define="AC1_FAMILY"/>
        <subFamily DsubFamily="AC10">
          <processor Dfpu="NO_FPU"/>
          <device Dname="AC100">
            <processor Dfpu="DP_FPU"/>
            <variant Dvariant="AC100T6"><compile header="Include/ac100t6.h"/></variant>
          </device>
          <device Dname="AC101"/>
        </subFamily>
        <device Dname="AC200"><compile define="AC200"/></device>
      </family></devices></package>)");
    const PackDevice *found = description.device(device);
    QVERIFY(found);
    const QString actual = attribute == QLatin1String("header") ? found->header
                           : attribute == QLatin1String("define")
                               ? found->define
                               : found->attributes.value(attribute);
    QCOMPARE(actual, value);
}

void TestPackDecisions::components_data()
{
    QTest::addColumn<QByteArray>("project");
    QTest::addColumn<QStringList>("packFolders"); // under the pack's folder
    QTest::addColumn<QStringList>("notices");

    const QByteArray ac100 = "<Device>AC100</Device><PackID>Acme.Parts.1.0.0</PackID>";
    const QByteArray ac110 = "<Device>AC110</Device><PackID>Acme.Parts.1.0.0</PackID>";
    const QByteArray startup = "Cclass=\"Device\" Cgroup=\"Startup\"";
    const QString device = QStringLiteral("Include");
    QTest::newRow("no variant: not the variant listed first")
        << project(ac100, {startup}) << QStringList{"Startup", "Fpu", device} << QStringList();
    QTest::newRow("file conditions: a device without FPU")
        << project(ac110, {startup}) << QStringList{"Startup", "NoFpu", device} << QStringList();
    QTest::newRow("the variant asked for") << project(ac100, {startup + " Cvariant=\"C Startup\""})
                                           << QStringList{"Variant", device} << QStringList();
    QTest::newRow("no sub-component: not the one listed first")
        << project(ac100, {"Cclass=\"Drivers\" Cgroup=\"UART\""}) << QStringList{"Uart", device}
        << QStringList();
    QTest::newRow("the sub-component asked for")
        << project(ac100, {"Cclass=\"Drivers\" Cgroup=\"UART\" Csub=\"DMA\""})
        << QStringList{"UartDma", device} << QStringList();
    QTest::newRow("a device named twice: the first")
        << project(ac110 + "\n<Device>AC999</Device>", {startup})
        << QStringList{"Startup", "NoFpu", device} << QStringList();
    QTest::newRow("a device in a comment counts for nothing")
        << project("<!-- was -> <Device>AC999</Device> -->\n" + ac110, {startup})
        << QStringList{"Startup", "NoFpu", device} << QStringList();
}

void TestPackDecisions::components()
{
    QFETCH(QByteArray, project);
    QFETCH(QStringList, packFolders);
    QFETCH(QStringList, notices);

    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("packs/Acme/Parts/1.0.0/Acme.Parts.pdsc"), conditionPack));
    QVERIFY(tree.addAll({QStringLiteral("packs/Acme/Parts/1.0.0/Include/ac1.h"),
                         QStringLiteral("packs/Acme/Parts/1.0.0/Variant/"),
                         QStringLiteral("packs/Acme/Parts/1.0.0/Startup/"),
                         QStringLiteral("packs/Acme/Parts/1.0.0/Fpu/"),
                         QStringLiteral("packs/Acme/Parts/1.0.0/NoFpu/"),
                         QStringLiteral("packs/Acme/Parts/1.0.0/Template/"),
                         QStringLiteral("packs/Acme/Parts/1.0.0/UartDma/"),
                         QStringLiteral("packs/Acme/Parts/1.0.0/Uart/")}));
    const AdditionRun run(project, tree.root(), tree.path(QStringLiteral("packs")));
    QVERIFY(run.surveyed);
    QCOMPARE(run.additions.defines, (QStringList{QStringLiteral("_RTE_"), QStringLiteral("AC1")}));
    for (QString &folder : packFolders)
        folder.prepend(QStringLiteral("@/Acme/Parts/1.0.0/"));
    QCOMPARE(run.additions.packFolders, packFolders);
    QCOMPARE(run.notices, notices);
}

void TestPackDecisions::notices_data()
{
    QTest::addColumn<QByteArray>("project");
    QTest::addColumn<QStringList>("notices");

    const QString unreadable =
        QStringLiteral("the description of pack Broken.Bad 1.0.0 cannot be read: Start tag "
                       "expected. (line 1) (target \"Target 1\")");
    QTest::newRow("only description unreadable, no version asked")
        << project("<Device>B1</Device><PackID>Broken.Bad</PackID>") << QStringList{unreadable};
    QTest::newRow("only description unreadable, another version asked")
        << project("<Device>B1</Device><PackID>Broken.Bad.2.0.0</PackID>")
        << QStringList{unreadable};
    QTest::newRow("only description unreadable, a component's pack")
        << QByteArray(project("<Device>B1</Device>", {"Cclass=\"Device\" Cgroup=\"Startup\""}))
               .replace("name=\"Parts\" vendor=\"Acme\" version=\"1.0.0\"",
                        "name=\"Bad\" vendor=\"Broken\"")
        << QStringList{unreadable};

    const QString missing =
        QStringLiteral("pack Nowhere.N1_DFP 1.0.0 is not installed in @ (target%1)");
    QTest::newRow("one target") << targetsWithoutTheirPack(1)
                                << QStringList{missing.arg(QStringLiteral(" \"T1\""))};
    QTest::newRow("three targets, all named")
        << targetsWithoutTheirPack(3)
        << QStringList{missing.arg(QStringLiteral("s \"T1\", \"T2\", \"T3\""))};
    QTest::newRow("four targets, one more")
        << targetsWithoutTheirPack(4)
        << QStringList{missing.arg(QStringLiteral("s \"T1\", \"T2\", \"T3\" and 1 more"))};
    QTest::newRow("five targets, two more")
        << targetsWithoutTheirPack(5)
        << QStringList{missing.arg(QStringLiteral("s \"T1\", \"T2\", \"T3\" and 2 more"))};
    QTest::newRow("no target names")
        << QByteArray("<Device>N1</Device><PackID>Nowhere.N1_DFP.1.0.0</PackID>\n")
        << QStringList{QStringLiteral("pack Nowhere.N1_DFP 1.0.0 is not installed in @")};
}

void TestPackDecisions::notices()
{
    QFETCH(QByteArray, project);
    QFETCH(QStringList, notices);

    ProjectTree tree;
    QVERIFY(tree.add(QStringLiteral("packs/Broken/Bad/1.0.0/Broken.Bad.pdsc"), "PK\x03\x04"));
    const AdditionRun run(project, tree.root(), tree.path(QStringLiteral("packs")));
    QVERIFY(run.surveyed);
    QCOMPARE(run.notices, notices);
}

void TestPackDecisions::cmsisVersion_data()
{
    QTest::addColumn<QByteArray>("compiler"); // uAC6
    QTest::addColumn<QByteArray>("pinned");
    QTest::addColumn<QString>("used");
    QTest::addColumn<QString>("why"); // after "is used instead"; empty: no notice at all

    QTest::newRow("AC6, 5.6.0 missing: the newest 5")
        << QByteArray("1") << QByteArray("5.6.0") << "5.9.0"
        << ": the newest of version 5";
    QTest::newRow("AC5, 5.6.0 missing: never CMSIS 6")
        << QByteArray("0") << QByteArray("5.6.0") << "5.9.0"
        << ": Arm Compiler 5 takes no CMSIS 6";
    QTest::newRow("AC5, 6.0.0 missing: never CMSIS 6")
        << QByteArray("0") << QByteArray("6.0.0") << "5.9.0"
        << ": Arm Compiler 5 takes no CMSIS 6";
    QTest::newRow("AC6, 6.0.0 missing: the newest")
        << QByteArray("1") << QByteArray("6.0.0") << "6.1.0" << QString("");
    QTest::newRow("installed: that one")
        << QByteArray("0") << QByteArray("6.1.0") << "6.1.0" << QString();
}

// The CMSIS a target takes when the version its project pins is not installed.
void TestPackDecisions::cmsisVersion()
{
    QFETCH(QByteArray, compiler);
    QFETCH(QByteArray, pinned);
    QFETCH(QString, used);
    QFETCH(QString, why);

    ProjectTree tree;
    for (const char *version : {"5.9.0", "6.1.0"}) {
        const QString folder = QStringLiteral("packs/ARM/CMSIS/") + version;
        QVERIFY(tree.add(folder + "/ARM.CMSIS.pdsc",
                         "<package><vendor>ARM</vendor><name>CMSIS</name><components>"
                         "<component Cclass=\"CMSIS\" Cgroup=\"CORE\"><files>"
                         "<file category=\"include\" name=\"Core/Include/\"/></files></component>"
                         "</components></package>"));
        QVERIFY(tree.add(folder + "/Core/Include/"));
    }
    const AdditionRun run("<Project><Targets><Target><TargetName>Target 1</TargetName>"
                          "<ToolsetName>ARM-ADS</ToolsetName><uAC6>" +
                              compiler +
                              "</uAC6></Target></Targets><RTE><components><component "
                              "Cclass=\"CMSIS\" Cgroup=\"CORE\"><package name=\"CMSIS\" "
                              "vendor=\"ARM\" version=\"" +
                              pinned + "\"/></component></components></RTE></Project>",
                          tree.root(), tree.path(QStringLiteral("packs")));
    QCOMPARE(run.additions.packFolders, QStringList("@/ARM/CMSIS/" + used + "/Core/Include"));
    QCOMPARE(run.notices,
             why.isNull()
                 ? QStringList()
                 : QStringList("pack ARM.CMSIS " + pinned + " is not installed in @; " + used +
                               " is used instead" + why + " (target \"Target 1\")"));
}

QTEST_GUILESS_MAIN(TestPackDecisions)
#include "tst_packdecisions.moc"
