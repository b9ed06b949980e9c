#ifndef CORVANE_TESTS_UVPROJX_H
#define CORVANE_TESTS_UVPROJX_H

#include <QByteArray>
#include <QStringList>

// Builds project files shaped like the ones uVision 5 writes: two-space indentation, one
// element per line, the usual option lines around the four that matter.
struct UvTarget
{
    QByteArray name = "Target 1";
    QByteArray device;
    QByteArray define;
    QByteArray includePath;
    QList<QByteArray> files; // FilePath values, as uVision writes them (backslashes)
};

inline QByteArray uvTarget(const UvTarget &t)
{
    QByteArray out;
    out += "    <Target>\n"
           "      <TargetName>" +
           t.name +
           "</TargetName>\n"
           "      <ToolsetNumber>0x4</ToolsetNumber>\n"
           "      <ToolsetName>ARM-ADS</ToolsetName>\n"
           "      <TargetOption>\n"
           "        <TargetCommonOption>\n"
           "          <Device>" +
           t.device +
           "</Device>\n"
           "          <Vendor>STMicroelectronics</Vendor>\n"
           "          <Cpu>IRAM(0x20000000,0x00005000) IROM(0x08000000,0x00010000) "
           "CPUTYPE(\"Cortex-M3\") CLOCK(8000000) ELITTLE</Cpu>\n"
           "          <OutputDirectory>.\\Objects\\</OutputDirectory>\n"
           "          <OutputName>" +
           t.name +
           "</OutputName>\n"
           "        </TargetCommonOption>\n"
           "        <TargetArmAds>\n"
           "          <Cads>\n"
           "            <Optim>1</Optim>\n"
           "            <VariousControls>\n"
           "              <MiscControls></MiscControls>\n"
           "              <Define>" +
           t.define +
           "</Define>\n"
           "              <Undefine></Undefine>\n"
           "              <IncludePath>" +
           t.includePath +
           "</IncludePath>\n"
           "            </VariousControls>\n"
           "          </Cads>\n"
           "          <Aads>\n"
           "            <VariousControls>\n"
           "              <MiscControls></MiscControls>\n"
           "              <Define></Define>\n"
           "              <Undefine></Undefine>\n"
           "              <IncludePath></IncludePath>\n"
           "            </VariousControls>\n"
           "          </Aads>\n"
           "        </TargetArmAds>\n"
           "      </TargetOption>\n"
           "      <Groups>\n"
           "        <Group>\n"
           "          <GroupName>Application/User</GroupName>\n"
           "          <Files>\n";
    for (const QByteArray &file : t.files) {
        const int slash = qMax(file.lastIndexOf('\\'), file.lastIndexOf('/'));
        out += "            <File>\n"
               "              <FileName>" +
               file.mid(slash + 1) +
               "</FileName>\n"
               "              <FileType>1</FileType>\n"
               "              <FilePath>" +
               file +
               "</FilePath>\n"
               "            </File>\n";
    }
    out += "          </Files>\n"
           "        </Group>\n"
           "      </Groups>\n"
           "    </Target>\n";
    return out;
}

inline QByteArray uvProject(const QList<UvTarget> &targets)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
                     "<Project xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                     "xsi:noNamespaceSchemaLocation=\"project_projx.xsd\">\n"
                     "\n"
                     "  <SchemaVersion>2.1</SchemaVersion>\n"
                     "\n"
                     "  <Header>### uVision Project, (C) Keil Software</Header>\n"
                     "\n"
                     "  <Targets>\n";
    for (const UvTarget &t : targets)
        out += uvTarget(t);
    out += "  </Targets>\n"
           "\n"
           "</Project>\n";
    return out;
}

inline QByteArray crlf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

// Expected pieces of a generated file.
namespace Pro {

inline QByteArray device(const QByteArray &name)
{
    return "# Device \t" + name + "\r\n\r\n";
}

inline QByteArray items(const QList<QByteArray> &values)
{
    QByteArray out;
    for (int i = 0; i < values.size(); ++i)
        out += (i ? " \\ \r\n\t" : "") + values.at(i);
    return out;
}

inline QByteArray defines(const QList<QByteArray> &values)
{
    return "\r\nDEFINES += \\ \r\n\t" + items(values) + "\r\n\r\n";
}

// The include list and the HEADERS opener that always follows it.
inline QByteArray includes(const QList<QByteArray> &values)
{
    return "\r\nINCLUDEPATH += \\ \r\n\t" + items(values) + "\r\n\r\n\r\n\r\nHEADERS += \\ \r\n";
}

inline QByteArray entries(const QList<QByteArray> &paths)
{
    QByteArray out;
    for (const QByteArray &path : paths)
        out.append("\t").append(path).append(" \\\r\n");
    return out;
}

inline QByteArray sources(const QList<QByteArray> &paths)
{
    return "\r\n\r\n\r\n\r\nSOURCES += \\ \r\n" + entries(paths);
}

// What the .pro gives an Arm Compiler 5 target for Qt Creator's code model, at its end.
inline QByteArray keywords()
{
    return "\r\n# Arm Compiler 5's keywords as clang reads them, for Qt Creator's code model\r\n"
           "qtc_run: DEFINES += \\ \r\n\t" +
           items({"__align(n)=__attribute__((aligned(n)))", "__ALIGNOF__(type)=__alignof__(type)",
                  "\"__forceinline=__inline__ __attribute__((always_inline))\"", "__global_reg(n)=",
                  "\"__int64=long long\"", "__INTADDR__(expr)=((__UINTPTR_TYPE__)(expr))",
                  "__irq=", "__packed=", "__pure=__attribute__((const))", "__smc(n)=", "__softfp=",
                  "__svc(n)=", "__svc_indirect(n)=", "__svc_indirect_r7(n)=", "__value_in_regs=",
                  "__weak=__attribute__((weak))", "__writeonly="}) +
           "\r\n\r\n";
}

// The check after the last scope, for targets whose names need no escaping.
inline QByteArray targetCheck(const QList<QByteArray> &names)
{
    QByteArray conditions;
    QByteArray listed;
    for (const QByteArray &name : names) {
        conditions += "!equals(UV_TARGET, \"" + name + "\"):";
        listed += (listed.isEmpty() ? "" : ", ") + QByteArray::number(names.indexOf(name) + 1) +
                  ": \\\"" + name + "\\\"";
    }
    return "\r\n# Check UV_TARGET\r\n" + conditions +
           " error(\"UV_TARGET \\\"\"$${UV_TARGET}\"\\\" names no target of this project; its "
           "targets are " +
           listed + ". UV_TARGET takes a target's number in place of its name.\")\r\n";
}

// The default line and the numbers after it, for targets whose names need no escaping.
inline QByteArray scopeDefault(const QList<QByteArray> &names, const QByteArray &chosen = {})
{
    QByteArray out = "isEmpty(UV_TARGET): UV_TARGET = \"" +
                     (chosen.isEmpty() ? names.first() : chosen) +
                     "\"\r\n# UV_TARGET by number\r\n";
    for (int i = 0; i < names.size(); ++i)
        out += "equals(UV_TARGET, " + QByteArray::number(i + 1) + "): UV_TARGET = \"" +
               names.at(i) + "\"\r\n";
    return out;
}

} // namespace Pro

#endif
