// libFuzzer target that keeps the engine in memory, for depth: the input is converted from
// a QBuffer into a QBuffer, and read as a pack description from its bytes. Nothing is
// written, so a run costs what the engine costs (corvane_fuzz writes and syncs real files,
// and lists real header folders). An input that may name a pack is converted against a
// small pack root (device D1 of Fuzz.Pack, a CMSIS Core), so that the resolver runs too.
// Beyond "no crash, no sanitizer report" it checks:
// - the conversion succeeds, the .pro passes FuzzChecks::checkPro, and the compilation
//   database rendered from the same reading is a JSON array;
// - for a quarter of the inputs, one of: the same bytes twice; the same bytes with a blank
//   at the end of every line; a well-formed project made from the input gives the same .pro
//   pretty-printed and on one line; another default target changes the default line only,
//   an unknown one writes nothing;
// - as a pack description, when it holds a <package>: read twice, the same; unreadable,
//   nothing in it; readable, each device is found by its name, the index finds it with its
//   header, and every condition gives the same answer for each device on both reads;
// - for a sixteenth of the inputs, as the pack root's index file: a project that names a
//   device but no pack converts as without an index.

#include "conversion/projectconverter.h"
#include "fuzzchecks.h"
#include "packs/packconditions.h"
#include "packs/packdescription.h"
#include "packs/packindex.h"
#include "qmake/fragments.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <algorithm>

namespace {

using FuzzChecks::fail;

const QByteArray fuzzPack = R"(<package><vendor>Fuzz</vendor><name>Pack</name>
  <conditions>
    <condition id="M4"><accept Dcore="Cortex-M4"/><require Tcompiler="ARMCC" Toptions="AC6"/></condition>
    <condition id="Any"><accept condition="M4"/><deny Dname="X*"/></condition>
  </conditions>
  <devices><family Dfamily="F" Dvendor="Fuzz:1"><processor Dcore="Cortex-M4" Dfpu="SP_FPU"/>
    <compile header="Include/dev.h" define="D1_FAMILY"/>
    <subFamily DsubFamily="S"><device Dname="D1"><variant Dvariant="D1T6"/></device></subFamily>
  </family></devices>
  <components><bundle Cbundle="B" Cclass="Device" Cversion="1.0.0">
    <component Cgroup="Startup" condition="Any"><files>
      <file category="include" name="Include/"/>
      <file category="header" name="Include/dev.h" condition="M4"/>
    </files></component>
  </bundle></components>
</package>)";

const QByteArray cmsisPack = R"(<package><vendor>ARM</vendor><name>CMSIS</name><components>
  <component Cclass="CMSIS" Cgroup="CORE"><files><file category="include" name="Core/"/></files></component>
</components></package>)";

// Names a device but no pack: the device search, and with it the index, runs.
const QByteArray legacyProject = "<Project><Targets><Target><TargetName>L</TargetName>"
                                 "<Device>D1T6</Device><RegisterFile>$$Device:D1T6$dev.h"
                                 "</RegisterFile></Target></Targets></Project>";

struct Scratch
{
    QTemporaryDir root;
    QString projectDir;
    QString packRoot;
    QString index;        // the runs' own
    QByteArray legacyPro; // without an index
};

Scratch *scratch = nullptr;

void add(const QString &path, const QByteArray &bytes = QByteArray())
{
    QFile file(scratch->root.filePath(path));
    if (!QDir().mkpath(QFileInfo(file).path()) || !file.open(QIODevice::WriteOnly) ||
        file.write(bytes) != bytes.size())
        fail("cannot create", file.fileName());
}

const QDateTime time(QDate(2024, 5, 6), QTime(7, 8), Qt::UTC);

struct Run
{
    bool packs = false;             // against the pack root; reading it costs most of a run
    QString target;                 // the default target
    bool check = false;             // the .pro through FuzzChecks::checkPro
    QStringList *targets = nullptr; // the project's targets
    QString index;                  // the pack root's index, empty for the runs' own
};

// One conversion in memory; the .pro bytes.
QByteArray convert(QByteArray project, const Run &run = Run())
{
    Corvane::ProjectConverter converter(scratch->projectDir, time);
    if (run.packs)
        converter.setPackRoot(scratch->packRoot);
    converter.setPackIndex(run.index.isEmpty() ? scratch->index : run.index);
    converter.setDefaultTarget(run.target);
    QBuffer input(&project);
    QByteArray pro;
    QBuffer output(&pro);
    if (!input.open(QIODevice::ReadOnly) || !output.open(QIODevice::WriteOnly))
        fail("cannot open a buffer");
    const Corvane::ConversionStatus status = converter.convert(input, output);
    if (run.targets)
        *run.targets = converter.project().targetNames();
    if (status == Corvane::ConversionStatus::UnknownTarget &&
        !converter.project().targetNames().contains(run.target)) {
        if (!pro.isEmpty())
            fail("a conversion for an unknown target wrote something");
        return pro;
    }
    if (status != Corvane::ConversionStatus::Converted)
        fail("a conversion in memory failed");
    Corvane::Notices notices;
    if (run.check) {
        FuzzChecks::checkPro(pro, time);
        const QJsonDocument database(converter.compileCommands(&notices).entries);
        if (!QJsonDocument::fromJson(database.toJson()).isArray())
            fail("the compilation database is no JSON array");
    }
    return pro;
}

bool sameAttributes(const QList<Corvane::PackFile> &a, const QList<Corvane::PackFile> &b)
{
    return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(),
                      [](const Corvane::PackFile &x, const Corvane::PackFile &y) {
                          return x.attributes == y.attributes;
                      });
}

bool sameComponents(const QList<Corvane::PackComponent> &a, const QList<Corvane::PackComponent> &b)
{
    return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(),
                      [](const Corvane::PackComponent &x, const Corvane::PackComponent &y) {
                          return x.attributes == y.attributes && sameAttributes(x.files, y.files);
                      });
}

void checkDescription(const QByteArray &bytes)
{
    using namespace Corvane;
    const PackDescription first = readPackDescription(bytes);
    const PackDescription second = readPackDescription(bytes);
    if (first.error != second.error || first.vendor != second.vendor || first.name != second.name ||
        first.devices.size() != second.devices.size() ||
        first.conditions.size() != second.conditions.size() ||
        !sameComponents(first.components, second.components) ||
        !sameComponents(first.apis, second.apis))
        fail("two reads of a description differ");
    if (!first.isValid() && (!first.devices.isEmpty() || !first.components.isEmpty() ||
                             !first.apis.isEmpty() || !first.conditions.isEmpty()))
        fail("an unreadable description has content");
    PackIndexEntry indexed;
    indexed.describe(first);
    for (int i = 0; i < first.devices.size(); ++i) {
        const PackDevice &d = first.devices.at(i);
        const QString variant = d.attributes.value(QStringLiteral("Dvariant"));
        const QString name =
            variant.isEmpty() ? d.attributes.value(QStringLiteral("Dname")) : variant;
        if (!name.isEmpty() && !first.device(name))
            fail("a device is not found by its name:", name);
        QString header;
        if (!indexed.describes(name, &header) || header != first.device(name)->header)
            fail("the index finds another device, or none, for", name);
        const PackDevice &again = second.devices.at(i);
        if (d.attributes != again.attributes || d.header != again.header ||
            d.define != again.define)
            fail("two reads of a device differ");
    }

    // Every condition on both reads, for a few of the devices and an unknown one, with
    // either compiler.
    for (int i = -1; i < qMin(int(first.devices.size()), 8); ++i) {
        for (const bool ac6 : {false, true}) {
            ConditionContext context;
            context.device = i < 0 ? nullptr : &first.devices.at(i);
            context.armCompiler6 = ac6;
            for (const PackComponent &c : first.components.mid(0, 4))
                context.components.append(c.attributes);
            ConditionContext again = context;
            again.device = i < 0 ? nullptr : &second.devices.at(i);
            for (auto it = first.conditions.cbegin(); it != first.conditions.cend(); ++it) {
                if (!second.conditions.contains(it.key()))
                    fail("a condition is missing on the second read:", it.key());
                if (conditionHolds(first, it.key(), context) !=
                    conditionHolds(second, it.key(), again))
                    fail("a condition holds on one read only:", it.key());
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("LC_ALL", "C.UTF-8");
    static int argc = 1;
    static char name[] = "corvane_fuzz_memory";
    static char *argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);

    static Scratch instance;
    scratch = &instance;
    if (!scratch->root.isValid())
        fail("no temporary directory");
    add(QStringLiteral("packs/Fuzz/Pack/1.0.0/Fuzz.Pack.pdsc"), fuzzPack);
    add(QStringLiteral("packs/Fuzz/Pack/1.0.0/Include/dev.h"));
    add(QStringLiteral("packs/ARM/CMSIS/5.9.0/ARM.CMSIS.pdsc"), cmsisPack);
    add(QStringLiteral("packs/ARM/CMSIS/5.9.0/Core/core_cm4.h"));
    // Not created: header folders are looked for and not found.
    scratch->projectDir = scratch->root.filePath(QStringLiteral("fw/MDK-ARM"));
    scratch->packRoot = scratch->root.filePath(QStringLiteral("packs"));
    scratch->index = scratch->root.filePath(QStringLiteral("cache/packs.index"));
    add(QStringLiteral("file")); // below it, no index can be
    Run without;
    without.packs = true;
    without.index = scratch->root.filePath(QStringLiteral("file/packs.index"));
    scratch->legacyPro = convert(legacyProject, without);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));

    // Against the pack root only when the input may name a pack: otherwise the resolver
    // adds MDK's Core folder and nothing else, and reading the root costs most of a run.
    QStringList targets;
    Run plain;
    plain.packs = input.contains("PackID") || input.contains("RTE") || input.contains("$$Device:");
    plain.check = true;
    plain.targets = &targets;
    const QByteArray first = convert(input, plain);
    Run same;
    same.packs = plain.packs;
    // A quarter of the inputs, chosen by their bytes, are converted once more in another form:
    // a run costs about one and a third conversions, and every check still meets every kind
    // of input.
    switch (qHash(input) % 16) {
    case 0:
        if (convert(input, same) != first)
            fail("two runs on the same input differ");
        break;
    case 1:
        if (convert(FuzzChecks::withTrailingBlanks(input), same) != first)
            fail("blanks at the ends of lines changed the .pro");
        break;
    case 2: {
        QByteArray pretty;
        QByteArray compact;
        FuzzChecks::structured(input, &pretty, &compact);
        same.check = true; // with its compilation database
        if (convert(compact, same) != convert(pretty, same))
            fail("the same project on one line gives another .pro");
        break;
    }
    case 3: {
        Run other = same;
        other.target = QStringLiteral("no such target");
        if (targets.size() < 2) {
            if (!targets.contains(other.target) && !convert(input, other).isEmpty())
                fail("a conversion for an unknown target wrote something");
            break;
        }
        // Another default target changes the line before the numbers and the first scope, no
        // other.
        using namespace Corvane::Fragments;
        const QByteArray line = scopeDefault(targets.first());
        QByteArray expected = first;
        const int at =
            expected.indexOf(line + targetNumbers(targets) + scopeOpener(targets.first()));
        if (at < 0)
            fail("no default line before the first scope");
        expected.replace(at, line.size(), scopeDefault(targets.last()));
        other.target = targets.last();
        if (convert(input, other) != expected)
            fail("another default target changed more than the default line");
        break;
    }
    case 4: {
        add(QStringLiteral("fuzzed.index"), input);
        Run indexed = same;
        indexed.packs = true;
        indexed.index = scratch->root.filePath(QStringLiteral("fuzzed.index"));
        if (convert(legacyProject, indexed) != scratch->legacyPro)
            fail("an index file changed the .pro");
        // Past its checksum (MD5, last), the decoder meets the input itself.
        QVector<Corvane::PackIndexEntry> entries;
        QString header;
        Corvane::PackIndex::decode(input + QCryptographicHash::hash(input, QCryptographicHash::Md5),
                                   QString(), &entries);
        for (const Corvane::PackIndexEntry &entry : qAsConst(entries))
            entry.describes(QStringLiteral("D1"), &header);
        break;
    }
    default:
        break;
    }

    // The reader's own code runs inside a <package> only; anything else Qt's XML reader
    // skips.
    if (input.contains("<package"))
        checkDescription(input);
    return 0;
}
