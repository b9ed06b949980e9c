// What uVision adds to a target by itself: the RTE folders and files, and the device header,
// device define and component include folders that the CMSIS packs describe. Each case
// builds a small pack root of its own.

#include "additionrun.h"
#include "conversion/conversion.h"
#include "packs/packdescription.h"
#include "packs/targetadditions.h"
#include "projecttree.h"
#include "reading/uvisioninstallation.h"

#include <QtTest>

using namespace Corvane;

namespace {

const QByteArray cmsis6 = R"(<?xml version="1.0" encoding="UTF-8"?>
<package schemaVersion="1.7.7">
  <vendor>ARM</vendor><name>CMSIS</name>
  <conditions>
    <condition id="ARMv7-M Device"><accept Dcore="Cortex-M3"/><accept Dcore="Cortex-M4"/></condition>
    <condition id="ARMv6_7_8-M Device"><accept condition="ARMv7-M Device"/></condition>
    <condition id="ARMv7-A Device"><accept Dcore="Cortex-A9"/></condition>
    <condition id="ARMCC6"><require Tcompiler="ARMCC" Toptions="AC6"/></condition>
    <condition id="ARMCC5"><require Tcompiler="ARMCC" Toptions="AC5"/></condition>
    <condition id="GCC"><require Tcompiler="GCC"/></condition>
    <condition id="RTX5 asm"><accept condition="ARMCC6"/><accept condition="GCC"/></condition>
  </conditions>
  <apis>
    <api Cclass="CMSIS" Cgroup="RTOS2" Capiversion="2.1.3" exclusive="1">
      <files><file category="header" name="CMSIS/RTOS2/Include/cmsis_os2.h"/></files>
    </api>
  </apis>
  <components>
    <component Cclass="CMSIS" Cgroup="CORE" Cversion="6.0.0" condition="ARMv7-A Device">
      <files><file category="include" name="CMSIS/Core_A/Include/"/></files>
    </component>
    <component Cclass="CMSIS" Cgroup="CORE" Cversion="6.0.0" condition="ARMv6_7_8-M Device">
      <files><file category="include" name="CMSIS/Core/Include/"/></files>
    </component>
    <bundle Cbundle="RTX5" Cclass="CMSIS" Cversion="5.5.0">
      <component Cgroup="RTOS2" Csub="Keil RTX5" Capiversion="2.1.3">
        <files>
          <file category="include" name="CMSIS/RTOS2/RTX/Include/"/>
          <file category="header" name="CMSIS/RTOS2/RTX/Source/GCC/irq.h" condition="RTX5 asm"/>
          <file category="header" name="CMSIS/RTOS2/RTX/Source/ARM/irq.h" condition="ARMCC5"/>
          <file category="header" name="CMSIS/RTOS2/RTX/Config/RTX_Config.h" attr="config"/>
        </files>
      </component>
    </bundle>
  </components>
</package>
)";

const QByteArray cmsis5 = R"(<package><vendor>ARM</vendor><name>CMSIS</name><components>
  <component Cclass="CMSIS" Cgroup="CORE" Cversion="5.0.0">
    <files><file category="include" name="CMSIS/Include/"/></files></component>
</components></package>)";

// Attributes inherited family -> subFamily -> device -> variant, the deeper level winning.
const QByteArray acme = R"(<package><vendor>Acme</vendor><name>AC1_DFP</name>
  <conditions><condition id="AC1 Device"><require Dvendor="Acme:99" Dname="*AC*"/></condition></conditions>
  <devices>
    <family Dfamily="AC1 Series" Dvendor="Acme:99">
      <processor Dcore="Cortex-M4" Dfpu="SP_FPU"/>
      <compile header="Device/Include/ac1.h"/>
      <subFamily DsubFamily="AC10">
        <compile define="AC10xx"/>
        <device Dname="AC100"><variant Dvariant="AC100T6"/></device>
      </subFamily>
      <device Dname="-AC200"><compile header="Device/Include/ac2.h" define="AC200"/></device>
    </family>
  </devices>
  <components>
    <component Cclass="Device" Cgroup="Startup" Cversion="1.0.0" condition="AC1 Device">
      <files>
        <file category="include" name="Device/Include/"/>
        <file category="sourceC" name="Device/Source/system_ac1.c" attr="config"/>
      </files>
    </component>
  </components>
</package>)";

const QStringList packFiles = {
    QStringLiteral("ARM/CMSIS/6.0.0/CMSIS/Core/Include/core_cm4.h"),
    QStringLiteral("ARM/CMSIS/6.0.0/CMSIS/Core_A/Include/core_ca.h"),
    QStringLiteral("ARM/CMSIS/6.0.0/CMSIS/RTOS2/Include/cmsis_os2.h"),
    QStringLiteral("ARM/CMSIS/6.0.0/CMSIS/RTOS2/RTX/Include/rtx_os.h"),
    QStringLiteral("ARM/CMSIS/6.0.0/CMSIS/RTOS2/RTX/Source/GCC/irq.h"),
    QStringLiteral("ARM/CMSIS/6.0.0/CMSIS/RTOS2/RTX/Source/ARM/irq.h"),
    QStringLiteral("ARM/CMSIS/6.0.0/CMSIS/RTOS2/RTX/Config/RTX_Config.h"),
    QStringLiteral("ARM/CMSIS/5.0.0/CMSIS/Include/core_cm4.h"),
    QStringLiteral("Acme/AC1_DFP/1.0.0/Device/Include/ac1.h"),
    QStringLiteral("Acme/AC1_DFP/1.0.0/Device/Include/ac2.h"),
    QStringLiteral("Empty/NoPdsc/1.0.0/readme.txt"),
};

bool buildPackRoot(const ProjectTree &tree)
{
    return tree.add(QStringLiteral("packs/ARM/CMSIS/6.0.0/ARM.CMSIS.pdsc"), cmsis6) &&
           tree.add(QStringLiteral("packs/ARM/CMSIS/5.0.0/ARM.CMSIS.pdsc"), cmsis5) &&
           tree.add(QStringLiteral("packs/Acme/AC1_DFP/1.0.0/Acme.AC1_DFP.pdsc"), acme) &&
           // A newer version whose files are missing: its device header is not there.
           tree.add(QStringLiteral("packs/Acme/AC1_DFP/2.0.0/Acme.AC1_DFP.pdsc"), acme) &&
           tree.add(QStringLiteral("packs/Broken/Bad/1.0.0/Broken.Bad.pdsc"),
                    acme.left(acme.size() / 2)) &&
           [&] {
               for (const QString &file : packFiles) {
                   if (!tree.add(QStringLiteral("packs/") + file))
                       return false;
               }
               return true;
           }();
}

// A one-target project; `options` and `rte` are inserted as they are.
QByteArray project(const QByteArray &options, const QByteArray &rte = QByteArray())
{
    return "<Project><Targets><Target>\n"
           "  <TargetName>Target 1</TargetName>\n" +
           options + "\n  <FilePath>main.c</FilePath>\n</Target></Targets>\n" + rte +
           "</Project>\n";
}

const QByteArray rtxProject =
    project("<ToolsetName>ARM-ADS</ToolsetName><uAC6>1</uAC6><Device>AC100T6</Device>"
            "<PackID>Acme.AC1_DFP.1.0.0</PackID>",
            R"(<RTE>
  <apis>
    <api Capiversion="2.1.3" Cclass="CMSIS" Cgroup="RTOS2" exclusive="1">
      <package name="CMSIS" vendor="ARM" version="6.0.0"/>
      <targetInfos><targetInfo name="Target 1"/></targetInfos>
    </api>
  </apis>
  <components>
    <component Cclass="CMSIS" Cgroup="CORE" Cvendor="ARM" Cversion="6.0.0" condition="ARMv6_7_8-M Device">
      <package name="CMSIS" vendor="ARM" version="6.0.0"/>
      <targetInfos><targetInfo name="Target 1"/></targetInfos>
    </component>
    <component Cbundle="RTX5" Capiversion="2.1.3" Cclass="CMSIS" Cgroup="RTOS2" Csub="Keil RTX5" Cvendor="ARM" Cversion="5.5.0">
      <package name="CMSIS" vendor="ARM" version="6.0.0"/>
      <targetInfos><targetInfo name="Target 1"/></targetInfos>
    </component>
    <component Cclass="Device" Cgroup="Startup" Cvendor="Acme" Cversion="1.0.0" condition="AC1 Device">
      <package name="AC1_DFP" vendor="Acme" version="1.0.0"/>
      <targetInfos><targetInfo name="Target 1"/><targetInfo excluded="1" name="Other"/></targetInfos>
    </component>
  </components>
  <files>
    <file attr="config" category="sourceC" name="Device\Source\system_ac1.c" version="1.0.0">
      <instance index="0">RTE\Device\AC100T6\system_ac1.c</instance>
      <targetInfos><targetInfo name="Target 1"/></targetInfos>
    </file>
    <file attr="config" category="header" name="CMSIS\RTOS2\RTX\Config\RTX_Config.h" version="5.5.0">
      <instance index="0">RTE\CMSIS\RTX_Config.h</instance>
      <targetInfos><targetInfo name="Target 1"/></targetInfos>
    </file>
    <file attr="config" category="header" name="old.h" version="1.0.0">
      <instance index="0" removed="1">RTE\Old\old.h</instance>
      <targetInfos><targetInfo name="Target 1"/></targetInfos>
    </file>
  </files>
</RTE>
)");

const QStringList rteItems = {QStringLiteral("RTE/_Target_1"), QStringLiteral("RTE/Device/AC100T6"),
                              QStringLiteral("RTE/CMSIS")};

} // namespace

class TestPacks : public QObject
{
    Q_OBJECT

private slots:
    void additions_data();
    void additions();
    void readsBadDescriptions_data();
    void readsBadDescriptions();
    void versionOrder_data();
    void versionOrder();
    void blockFormat();
    void installationFolders_data();
    void installationFolders();
    void installationBlock_data();
    void installationBlock();
    void defaultRoot();
};

void TestPacks::additions_data()
{
    QTest::addColumn<QByteArray>("project");
    QTest::addColumn<QString>("root"); // "packs", "" for none, or another path in the tree
    QTest::addColumn<QStringList>("defines");
    QTest::addColumn<QStringList>("includes"); // "@" stands for the pack root
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QStringList>("notices"); // "@" stands for the pack root

    const QString packs = QStringLiteral("packs");
    const QStringList rteSources = {QStringLiteral("RTE/Device/AC100T6/system_ac1.c")};
    const QStringList rteHeaders = {QStringLiteral("RTE/CMSIS/RTX_Config.h")};
    const QString core6 = QStringLiteral("@/ARM/CMSIS/6.0.0/CMSIS/Core/Include");
    // MDK's own Core for targets without a Core component: the newest CMSIS before 6.
    const QString mdkCore = QStringLiteral("@/ARM/CMSIS/5.0.0/CMSIS/Include");
    const QString acmeInclude = QStringLiteral("@/Acme/AC1_DFP/1.0.0/Device/Include");

    QTest::newRow("RTE components, Arm Compiler 6")
        << rtxProject << packs << QStringList{QStringLiteral("_RTE_"), QStringLiteral("AC10xx")}
        << rteItems +
               QStringList{core6, QStringLiteral("@/ARM/CMSIS/6.0.0/CMSIS/RTOS2/RTX/Include"),
                           QStringLiteral("@/ARM/CMSIS/6.0.0/CMSIS/RTOS2/RTX/Source/GCC"),
                           QStringLiteral("@/ARM/CMSIS/6.0.0/CMSIS/RTOS2/Include"), acmeInclude}
        << rteHeaders << rteSources << QStringList();
    QTest::newRow("RTE components, Arm Compiler 5")
        << QByteArray(rtxProject).replace("<uAC6>1</uAC6>", "<uAC6>0</uAC6>") << packs
        << QStringList{QStringLiteral("_RTE_"), QStringLiteral("AC10xx")}
        << rteItems +
               QStringList{core6, QStringLiteral("@/ARM/CMSIS/6.0.0/CMSIS/RTOS2/RTX/Include"),
                           QStringLiteral("@/ARM/CMSIS/6.0.0/CMSIS/RTOS2/RTX/Source/ARM"),
                           QStringLiteral("@/ARM/CMSIS/6.0.0/CMSIS/RTOS2/Include"), acmeInclude}
        << rteHeaders << rteSources << QStringList();
    QTest::newRow("RTE file excluded from the target")
        << QByteArray(rtxProject)
               .replace(
                   "system_ac1.c</instance>\n      <targetInfos><targetInfo name",
                   "system_ac1.c</instance>\n      <targetInfos><targetInfo excluded=\"1\" name")
        << packs << QStringList{QStringLiteral("_RTE_"), QStringLiteral("AC10xx")}
        << QStringList{QStringLiteral("RTE/_Target_1"),
                       QStringLiteral("RTE/CMSIS"),
                       core6,
                       QStringLiteral("@/ARM/CMSIS/6.0.0/CMSIS/RTOS2/RTX/Include"),
                       QStringLiteral("@/ARM/CMSIS/6.0.0/CMSIS/RTOS2/RTX/Source/GCC"),
                       QStringLiteral("@/ARM/CMSIS/6.0.0/CMSIS/RTOS2/Include"),
                       acmeInclude}
        << rteHeaders << QStringList() << QStringList();
    QTest::newRow("no pack root: the RTE items only")
        << rtxProject << QString() << QStringList{QStringLiteral("_RTE_")} << rteItems << rteHeaders
        << rteSources << QStringList();
    QTest::newRow("root is a file")
        << rtxProject << QStringLiteral("main.c") << QStringList{QStringLiteral("_RTE_")}
        << rteItems << rteHeaders << rteSources
        << QStringList{
               QStringLiteral("pack ARM.CMSIS 6.0.0 is not installed in @ (target \"Target 1\")"),
               QStringLiteral(
                   "pack Acme.AC1_DFP 1.0.0 is not installed in @ (target \"Target 1\")")};
    QTest::newRow("device named by the register file only, name with a hyphen")
        << project("<Device>-AC200</Device><RegisterFile>$$Device:-AC200$Device\\Include\\ac2.h"
                   "</RegisterFile>")
        << packs << QStringList{QStringLiteral("AC200")} << QStringList{acmeInclude, mdkCore}
        << QStringList() << QStringList() << QStringList();
    QTest::newRow("no pack, no device, no components: the newest Core before 6")
        << project("<Device>XYZ</Device><RegisterFile>xyz.h</RegisterFile>") << packs
        << QStringList() << QStringList{mdkCore} << QStringList() << QStringList() << QStringList();
    QTest::newRow("version asked is missing: the newest with the device header")
        << project("<Device>AC100</Device><PackID>Acme.AC1_DFP.1.5.0</PackID>") << packs
        << QStringList{QStringLiteral("AC10xx")} << QStringList{acmeInclude, mdkCore}
        << QStringList() << QStringList()
        << QStringList{
               QStringLiteral("pack Acme.AC1_DFP 1.5.0 is not installed in @; 1.0.0 is used "
                              "instead (target \"Target 1\")")};
    QTest::newRow("device header folder missing: the define alone")
        << project("<Device>AC100</Device><PackID>Acme.AC1_DFP.2.0.0</PackID>") << packs
        << QStringList{QStringLiteral("AC10xx")} << QStringList{mdkCore} << QStringList()
        << QStringList() << QStringList();
    QTest::newRow("PackID without a version")
        << project("<Device>AC100T6</Device><PackID>Acme.AC1_DFP</PackID>") << packs
        << QStringList{QStringLiteral("AC10xx")} << QStringList{acmeInclude, mdkCore}
        << QStringList() << QStringList() << QStringList();
    QTest::newRow("pack not installed")
        << project("<Device>N1</Device><PackID>Nowhere.N1_DFP.1.0.0</PackID>") << packs
        << QStringList() << QStringList{mdkCore} << QStringList() << QStringList()
        << QStringList{QStringLiteral(
               "pack Nowhere.N1_DFP 1.0.0 is not installed in @ (target \"Target 1\")")};
    QTest::newRow("pack folder without a description")
        << project("<Device>N1</Device><PackID>Empty.NoPdsc.1.0.0</PackID>") << packs
        << QStringList() << QStringList{mdkCore} << QStringList() << QStringList()
        << QStringList{QStringLiteral(
               "pack Empty.NoPdsc 1.0.0 is not installed in @ (target \"Target 1\")")};
    QTest::newRow("device missing from its pack")
        << project("<Device>AC999</Device><PackID>Acme.AC1_DFP.1.0.0</PackID>") << packs
        << QStringList() << QStringList{mdkCore} << QStringList() << QStringList()
        << QStringList{QStringLiteral(
               "device AC999 is not described by pack Acme.AC1_DFP 1.0.0 (target \"Target 1\")")};
    QTest::newRow("truncated description")
        << project("<Device>AC100</Device><PackID>Broken.Bad.1.0.0</PackID>") << packs
        << QStringList() << QStringList{mdkCore} << QStringList() << QStringList()
        << QStringList{QStringLiteral("the description of pack Broken.Bad 1.0.0 cannot be read: "
                                      "Premature end of document. (line 9) (target \"Target 1\")")};
    QTest::newRow("C51 target: no packs")
        << project("<ToolsetName>MCS-51</ToolsetName><Device>AC100</Device>"
                   "<PackID>Acme.AC1_DFP.1.0.0</PackID>")
        << packs << QStringList() << QStringList() << QStringList() << QStringList()
        << QStringList();
    QTest::newRow("generator description")
        << project("<Device>XYZ</Device>",
                   "<RTE><gpdscs><gpdsc name=\"..\\Cube\\FrameworkCubeMX.gpdsc\"/></gpdscs></RTE>")
        << QString() << QStringList()
        << QStringList{QStringLiteral("../Cube/Inc"), QStringLiteral("../Cube/Drivers/HAL/Inc")}
        << QStringList() << QStringList() << QStringList();
}

void TestPacks::additions()
{
    QFETCH(QByteArray, project);
    QFETCH(QString, root);
    QFETCH(QStringList, defines);
    QFETCH(QStringList, includes);
    QFETCH(QStringList, headers);
    QFETCH(QStringList, sources);
    QFETCH(QStringList, notices);

    ProjectTree tree;
    QVERIFY(buildPackRoot(tree));
    QVERIFY(tree.add(QStringLiteral("fw/main.c")));
    QVERIFY(tree.add(QStringLiteral("Cube/FrameworkCubeMX.gpdsc"),
                     "<package><components><component Cclass=\"Device\" Cgroup=\"HAL\">"
                     "<files><file category=\"header\" name=\"Inc/main.h\"/>"
                     "<file category=\"include\" name=\"Drivers/HAL/Inc/\"/>"
                     "<file category=\"source\" name=\"Src/main.c\"/></files>"
                     "</component></components></package>"));
    const QString rootPath =
        root.isEmpty()
            ? QString()
            : tree.path(root == QLatin1String("main.c") ? QStringLiteral("fw/main.c") : root);
    const AdditionRun run(project, tree.path(QStringLiteral("fw")), rootPath);
    QVERIFY(run.surveyed);

    QCOMPARE(run.additions.defines, defines);
    QCOMPARE(run.additions.includeFolders + run.additions.packFolders, includes);
    QCOMPARE(run.additions.headers, headers);
    QCOMPARE(run.additions.sources, sources);
    notices.sort();
    QCOMPARE(run.notices, notices);
}

void TestPacks::readsBadDescriptions_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<bool>("valid");

    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("not XML") << QByteArray("PK\x03\x04 zip bytes") << false;
    QTest::newRow("truncated") << acme.left(200) << false;
    QTest::newRow("another root element") << QByteArray("<project/>") << false;
    QTest::newRow("unbalanced") << QByteArray("<package><vendor>A</name></package>") << false;
    QTest::newRow("complete") << acme << true;
}

void TestPacks::readsBadDescriptions()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, valid);
    const PackDescription description = readPackDescription(xml);
    QCOMPARE(description.isValid(), valid);
    if (!valid) {
        QVERIFY(description.devices.isEmpty() && description.components.isEmpty());
        return;
    }
    // Inherited family -> subFamily -> device -> variant.
    const PackDevice *variant = description.device(QStringLiteral("AC100T6"));
    QVERIFY(variant);
    QCOMPARE(variant->header, QStringLiteral("Device/Include/ac1.h"));
    QCOMPARE(variant->define, QStringLiteral("AC10xx"));
    QCOMPARE(variant->attributes.value(QStringLiteral("Dcore")), QStringLiteral("Cortex-M4"));
    QCOMPARE(variant->attributes.value(QStringLiteral("Dname")), QStringLiteral("AC100"));
    QCOMPARE(description.device(QStringLiteral("-AC200"))->header,
             QStringLiteral("Device/Include/ac2.h"));
    QVERIFY(!description.device(QStringLiteral("AC10")));
}

void TestPacks::versionOrder_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("order");
    QTest::newRow("numbers, not text") << QStringLiteral("2.11.0") << QStringLiteral("2.2.0") << 1;
    QTest::newRow("pre-release first")
        << QStringLiteral("3.1.2-dev") << QStringLiteral("3.1.2") << -1;
    QTest::newRow("pre-release of a newer version")
        << QStringLiteral("3.1.2-dev") << QStringLiteral("3.1.1") << 1;
    QTest::newRow("equal") << QStringLiteral("5.9.0") << QStringLiteral("5.9.0") << 0;
    // Pre-releases against each other, identifier by identifier, as semantic versions are.
    QTest::newRow("pre-releases by text")
        << QStringLiteral("1.0.0-alpha") << QStringLiteral("1.0.0-beta") << -1;
    QTest::newRow("pre-releases by number")
        << QStringLiteral("1.0.0-rc.10") << QStringLiteral("1.0.0-rc.2") << 1;
    QTest::newRow("numeric identifier before a word")
        << QStringLiteral("1.0.0-9") << QStringLiteral("1.0.0-dev") << -1;
    QTest::newRow("fewer identifiers first")
        << QStringLiteral("1.0.0-rc") << QStringLiteral("1.0.0-rc.1") << -1;
    QTest::newRow("build metadata does not count")
        << QStringLiteral("1.0.0+g1a2b") << QStringLiteral("1.0.0") << 0;
    QTest::newRow("pre-release with build metadata")
        << QStringLiteral("1.0.0-dev.3+g1a2b") << QStringLiteral("1.0.0-dev.12") << -1;
    // Versions of different lengths: a missing part is 0.
    QTest::newRow("two parts and three") << QStringLiteral("1.2") << QStringLiteral("1.2.0") << 0;
    QTest::newRow("longer and newer") << QStringLiteral("1.2.1") << QStringLiteral("1.2") << 1;
    QTest::newRow("shorter and newer") << QStringLiteral("2") << QStringLiteral("1.10.3") << 1;
}

void TestPacks::versionOrder()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, order);
    QCOMPARE(PackRepository::compareVersions(a, b), order);
    QCOMPARE(PackRepository::compareVersions(b, a), -order);
}

void TestPacks::blockFormat()
{
    // The additions close the target's blocks with the same fragments as the rest of the file.
    ProjectTree tree;
    QVERIFY(buildPackRoot(tree));
    QVERIFY(tree.add(QStringLiteral("fw/RTE/CMSIS/RTX_Config.h")));
    QVERIFY(tree.add(QStringLiteral("fw/RTE/Device/AC100T6/system_ac1.c")));
    QVERIFY(tree.add(QStringLiteral("fw/main.c")));
    QVERIFY(tree.add(QStringLiteral("fw/fw.uvprojx"), rtxProject));
    ConversionOptions options;
    options.timestamp = QDateTime(QDate(2024, 3, 1), QTime(9, 5));
    options.packRoot = tree.path(QStringLiteral("packs"));
    const ConversionResult result =
        convertProject(tree.path(QStringLiteral("fw/fw.uvprojx")), options);
    QVERIFY(result.succeeded());
    QVERIFY(result.notices.isEmpty());
    const QByteArray root = QDir(options.packRoot).absolutePath().toUtf8();
    const QByteArray expected =
        "# Device \tAC100T6\r\n\r\n\r\n\r\n\r\n\r\nSOURCES += \\ \r\n\tmain.c \\\r\n"
        "\r\n# Added by uVision for this target: its Run-Time Environment and CMSIS packs in " +
        QDir::toNativeSeparators(QString::fromUtf8(root)).toUtf8() +
        "\r\n"
        "\r\nDEFINES += \\ \r\n\t_RTE_ \\ \r\n\tAC10xx\r\n\r\n"
        "\r\nINCLUDEPATH += \\ \r\n\tRTE/_Target_1 \\ \r\n\tRTE/Device/AC100T6 \\ \r\n\tRTE/CMSIS "
        "\\ \r\n\t" +
        root + "/ARM/CMSIS/6.0.0/CMSIS/Core/Include \\ \r\n\t" + root +
        "/ARM/CMSIS/6.0.0/CMSIS/RTOS2/RTX/Include \\ \r\n\t" + root +
        "/ARM/CMSIS/6.0.0/CMSIS/RTOS2/RTX/Source/GCC \\ \r\n\t" + root +
        "/ARM/CMSIS/6.0.0/CMSIS/RTOS2/Include \\ \r\n\t" + root +
        "/Acme/AC1_DFP/1.0.0/Device/Include\r\n\r\n\r\n\r\nHEADERS += \\ \r\n"
        // The pack folders are for the compiler only: their headers are not listed.
        "\tRTE/CMSIS/RTX_Config.h \\\r\n"
        "\r\n\r\n\r\n\r\nSOURCES += \\ \r\n\tRTE/Device/AC100T6/system_ac1.c \\\r\n"
        "\r\n\r\n\r\n";
    const QByteArray pro = withoutUvisionBuild(tree.read(QStringLiteral("fw/fw.pro")));
    QCOMPARE(pro.mid(expectedBanner(QStringLiteral("2024-03-01 09:05")).size()), expected);
}

// A Keil installation with the headers MDK and C51 compile with, and one without them.
bool buildKeil(const ProjectTree &tree)
{
    return tree.addAll({QStringLiteral("Keil v5/ARM/CMSIS/Include/core_cm3.h"),
                        QStringLiteral("Keil v5/ARM/INC/ST/STM32F10x/stm32f10x.h"),
                        QStringLiteral("Keil v5/C51/INC/REG52.H"),
                        QStringLiteral("Keil v5/C51/INC/Nuvoton/MS51_8K.H"),
                        QStringLiteral("Bare/ARM/PACK/"), QStringLiteral("Bare/C51/BIN/")});
}

const QByteArray legacyOptions = "<ToolsetName>ARM-ADS</ToolsetName><Device>STM32F103RB</Device>"
                                 "<RegisterFile>stm32f10x_lib.h</RegisterFile>"
                                 "<RegisterFilePath>ST\\STM32F10x\\</RegisterFilePath>";
const QByteArray c51Options = "<ToolsetName>MCS-51</ToolsetName><Device>MS51DA9AE</Device>"
                              "<RegisterFile>MS51_8K.H</RegisterFile>"
                              "<RegisterFilePath>Nuvoton\\</RegisterFilePath>";

void TestPacks::installationFolders_data()
{
    QTest::addColumn<QByteArray>("project");
    QTest::addColumn<bool>("packs");
    QTest::addColumn<QString>("mdk"); // the MDK installation: "Keil v5", "Bare" or none
    QTest::addColumn<QString>("c51");
    QTest::addColumn<QStringList>("folders"); // "@" for the pack root, "K" for "Keil v5"
    QTest::addColumn<QString>("from");        // "K" for "Keil v5"

    const QString keil = QStringLiteral("Keil v5");
    const QString bare = QStringLiteral("Bare");
    const QString mdkCore = QStringLiteral("K/ARM/CMSIS/Include");
    const QString fromMdk = QStringLiteral("MDK in");
    const QString fromC51 = QStringLiteral("C51 in");
    const QByteArray noCore = project("<Device>XYZ</Device><RegisterFile>xyz.h</RegisterFile>");

    QTest::newRow("no Core component: the installation's Core, not the pack root's")
        << noCore << true << keil << QString() << QStringList{mdkCore} << fromMdk;
    QTest::newRow("no Core component, no packs: the installation's Core")
        << noCore << false << keil << QString() << QStringList{mdkCore} << fromMdk;
    QTest::newRow("installation without CMSIS/Include: the pack root's stand-in")
        << noCore << true << bare << QString()
        << QStringList{QStringLiteral("@/ARM/CMSIS/5.0.0/CMSIS/Include")} << QString();
    QTest::newRow("Core component: the pack's")
        << project("<Device>AC100T6</Device><PackID>Acme.AC1_DFP.1.0.0</PackID>",
                   "<RTE><components><component Cclass=\"CMSIS\" Cgroup=\"CORE\" "
                   "Cvendor=\"ARM\"><package name=\"CMSIS\" vendor=\"ARM\" version=\"6.0.0\"/>"
                   "<targetInfos><targetInfo name=\"Target 1\"/></targetInfos></component>"
                   "</components></RTE>")
        << true << keil << QString()
        << QStringList{QStringLiteral("RTE/_Target_1"),
                       QStringLiteral("@/ARM/CMSIS/6.0.0/CMSIS/Core/Include"),
                       QStringLiteral("@/Acme/AC1_DFP/1.0.0/Device/Include")}
        << QString();
    QTest::newRow("legacy device: ARM/INC and its RegisterFilePath")
        << project(legacyOptions) << true << keil << QString()
        << QStringList{mdkCore, QStringLiteral("K/ARM/INC/ST/STM32F10x")} << fromMdk;
    QTest::newRow("RegisterFilePath beside a PackID: the pack's device")
        << project(legacyOptions + "<PackID>Acme.AC1_DFP.1.0.0</PackID>")
               .replace("STM32F103RB", "AC100")
        << true << keil << QString()
        << QStringList{QStringLiteral("RTE/_Target_1"),
                       QStringLiteral("@/Acme/AC1_DFP/1.0.0/Device/Include"), mdkCore}
        << fromMdk;
    QTest::newRow("C51: INC and the register file's folder")
        << project(c51Options) << true << keil << keil
        << QStringList{QStringLiteral("K/C51/INC"), QStringLiteral("K/C51/INC/Nuvoton")} << fromC51;
    QTest::newRow("C51, the register file's folder missing: INC")
        << QByteArray(project(c51Options)).replace("Nuvoton", "Atmel") << false << QString() << keil
        << QStringList{QStringLiteral("K/C51/INC")} << fromC51;
    QTest::newRow("C51 target, only MDK installed")
        << project(c51Options) << true << keil << QString() << QStringList() << QString();
}

void TestPacks::installationFolders()
{
    QFETCH(QByteArray, project);
    QFETCH(bool, packs);
    QFETCH(QString, mdk);
    QFETCH(QString, c51);
    QFETCH(QStringList, folders);
    QFETCH(QString, from);

    ProjectTree tree;
    QVERIFY(buildPackRoot(tree) && buildKeil(tree));
    QVERIFY(tree.add(QStringLiteral("fw/RTE/_Target_1/RTE_Components.h")));
    QBuffer buffer(&project);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    Project survey;
    QCOMPARE(readProject(buffer, survey), ReadOutcome::EndOfInput);
    PackRepository repository(tree.path(QStringLiteral("packs")));
    AdditionFinder finder(survey, tree.path(QStringLiteral("fw")), packs ? &repository : nullptr);
    finder.setInstallations(mdk.isEmpty() ? QString() : tree.path(mdk),
                            c51.isEmpty() ? QString() : tree.path(c51));
    const TargetAdditions additions = finder.additionsFor(QStringLiteral("Target 1"));

    const QString keil = tree.path(QStringLiteral("Keil v5"));
    QStringList found = additions.includeFolders + additions.packFolders;
    found.replaceInStrings(repository.root(), QStringLiteral("@"));
    found.replaceInStrings(keil, QStringLiteral("K"));
    QCOMPARE(found, folders);
    QCOMPARE(additions.fromInstallation,
             from.isEmpty() ? from : from + QLatin1Char(' ') + QDir::toNativeSeparators(keil));
    QVERIFY(finder.notices().isEmpty());
}

void TestPacks::installationBlock_data()
{
    QTest::addColumn<QByteArray>("options");
    QTest::addColumn<QByteArray>("block"); // "<root>" for the installation's root

    // Only the compiler looks into the folders: HEADERS lists none of their files.
    QTest::newRow("C51") << c51Options
                         << QByteArray("# Added by uVision for this target: C51 in <root>\r\n\r\n"
                                       "INCLUDEPATH += \\ \r\n\t\"<root>/C51/INC\" \\ \r\n"
                                       "\t\"<root>/C51/INC/Nuvoton\"\r\n\r\n\r\n\r\n"
                                       "HEADERS += \\ \r\n");
    QTest::newRow("legacy Arm")
        << legacyOptions
        << QByteArray("# Added by uVision for this target: MDK in <root>\r\n\r\n"
                      "INCLUDEPATH += \\ \r\n\t\"<root>/ARM/CMSIS/Include\" \\ \r\n"
                      "\t\"<root>/ARM/INC/ST/STM32F10x\"\r\n\r\n\r\n\r\n"
                      "HEADERS += \\ \r\n");
}

// The installation's folders at the end of the target, quoted for their blank.
void TestPacks::installationBlock()
{
    QFETCH(QByteArray, options);
    QFETCH(QByteArray, block);
    ProjectTree tree;
    QVERIFY(buildKeil(tree));
    QVERIFY(tree.add(QStringLiteral("fw/fw.uvprojx"), project(options)));
    ConversionOptions conversion;
    conversion.timestamp = QDateTime(QDate(2024, 3, 1), QTime(9, 5));
    conversion.mdkRoot = tree.path(QStringLiteral("Keil v5"));
    conversion.c51Root = conversion.mdkRoot;
    const ConversionResult result =
        convertProject(tree.path(QStringLiteral("fw/fw.uvprojx")), conversion);
    QVERIFY(result.succeeded());
    const QByteArray root = conversion.mdkRoot.toUtf8();
    // The comment names the folder as the system spells it, the paths have '/'.
    block
        .replace("in <root>",
                 QByteArray("in " + QDir::toNativeSeparators(conversion.mdkRoot).toUtf8()))
        .replace("<root>", root);
    const QByteArray pro = tree.read(QStringLiteral("fw/fw.pro"));
    // The block that builds with uVision comes after it.
    QCOMPARE(pro.mid(pro.indexOf("\r\n# Added") + 2, block.size()), block);
}

void TestPacks::defaultRoot()
{
#ifdef Q_OS_WIN
    QSKIP("the Windows defaults depend on LOCALAPPDATA and C:\\Keil_v5");
#else
    const QByteArray oldRoot = qgetenv("CMSIS_PACK_ROOT");
    const QByteArray oldCache = qgetenv("XDG_CACHE_HOME");
    qputenv("CMSIS_PACK_ROOT", "/opt/packs");
    QCOMPARE(defaultPackRoot(QString()).path, QStringLiteral("/opt/packs"));
    QCOMPARE(defaultPackRoot(QString()).origin, QStringLiteral("CMSIS_PACK_ROOT"));
    qunsetenv("CMSIS_PACK_ROOT");
    qputenv("XDG_CACHE_HOME", "/var/cache/me");
    QCOMPARE(defaultPackRoot(QString()).path, QStringLiteral("/var/cache/me/arm/packs"));
    qunsetenv("XDG_CACHE_HOME");
    // An installation changes nothing here: only uVision on Windows reads TOOLS.INI.
    QCOMPARE(defaultPackRoot(QStringLiteral("/opt/Keil_v5")).path,
             QDir::homePath() + QStringLiteral("/.cache/arm/packs"));
    qputenv("CMSIS_PACK_ROOT", oldRoot);
    if (!oldCache.isEmpty())
        qputenv("XDG_CACHE_HOME", oldCache);
#endif
}

QTEST_GUILESS_MAIN(TestPacks)
#include "tst_packs.moc"
