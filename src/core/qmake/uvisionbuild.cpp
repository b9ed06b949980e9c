#include "qmake/uvisionbuild.h"

#include "qmake/fragments.h"

#include <algorithm>

namespace Corvane {

namespace {

const char lead[] =
    "\r\n# Build with uVision\r\n"
    "# Build runs uVision's batch build of the target instead of the kit's compiler: UV4.exe\r\n"
    "# from the environment variable UV4, else from the installation found when this file\r\n"
    "# was written, else from C:\\Keil_v5. After make clean (Qt Creator's Rebuild) it\r\n"
    "# passes -r.\r\n";

// qmake reads the values above literally; what follows is the same for every project. A
// command's '$' is written $${LITERAL_DOLLAR} here and doubled for make at the end.
const char body[] =
    "!qtc_run {\r\n"
    "    # Qt Creator parses with qtc_run set and keeps every file. The Makefile is a subdirs\r\n"
    "    # one without subdirs: it compiles nothing, and its default goal runs UV4.\r\n"
    "    TEMPLATE = subdirs\r\n"
    "    UV_EXE = \"$$(UV4)\"\r\n"
    "    UV_EXE ~= s/\\\"//g\r\n"
    "    isEmpty(UV_EXE) {\r\n"
    "        UV_CANDIDATES = $$UV_INSTALLED C:/Keil_v5/UV4/UV4.exe\r\n"
    "        UV_CANDIDATES = $$unique(UV_CANDIDATES)\r\n"
    "        UV_LOOKED =\r\n"
    "        for(UV_PATH, UV_CANDIDATES) {\r\n"
    "            UV_LOOKED += \\\"$$system_path($$UV_PATH)\\\"\r\n"
    "            isEmpty(UV_EXE):exists($$UV_PATH): UV_EXE = $$UV_PATH\r\n"
    "        }\r\n"
    "        UV_WHY = \"UV4 is not set, and UV4.exe is not at $$join(UV_LOOKED, \" or \")\"\r\n"
    "    } else:!exists($$UV_EXE) {\r\n"
    "        UV_WHY = \"UV4 names \\\"$$system_path($$UV_EXE)\\\", which does not exist\"\r\n"
    "        UV_EXE =\r\n"
    "    }\r\n"
    "    !equals(QMAKE_HOST.os, Windows): UV_WHY = \"$$UV_WHY; uVision runs on Windows only\"\r\n"
    "    # cmd.exe runs the commands of nmake, jom and mingw32-make without sh.exe.\r\n"
    "    equals(MAKEFILE_GENERATOR, MSVC.NET)|isEmpty(QMAKE_SH): UV_CMD = 1\r\n"
    "    defineReplace(uvQuoted) {\r\n"
    "        uv_quoted = $$shell_quote($$shell_path($$1))\r\n"
    "        # nmake reads a '#' outside double quotes as a comment.\r\n"
    "        !isEmpty(UV_CMD):!contains(uv_quoted, \\\".*): uv_quoted = \\\"$$uv_quoted\\\"\r\n"
    "        return($$uv_quoted)\r\n"
    "    }\r\n"
    "    UV_LOG = $$uvQuoted($$OUT_PWD/uvision.log)\r\n"
    "    UV_ARGS = $$uvQuoted($$UV_PROJECT)\r\n"
    "    !isEmpty(UV_BUILD_TARGET): UV_ARGS += -t $$uvQuoted($$UV_BUILD_TARGET)\r\n"
    "    UV_ARGS += -j0 -o $$UV_LOG\r\n"
    "    # How Arm Compiler 5 and 6, armasm, armlink, C51 and its linkers begin a diagnostic.\r\n"
    "    UV_DIAGNOSTICS = \": error\" \": warning\" \": fatal\" \": note:\" \"*** error\" \"*** "
    "warning\"\r\n"
    "    isEmpty(UV_EXE) {\r\n"
    "        UV_WHY = \"This project is built with uVision, but UV4.exe was not found: "
    "$${UV_WHY}. Set the environment variable UV4 to the full path of UV4.exe and run qmake "
    "again.\"\r\n"
    "        isEmpty(UV_CMD): uvbuild.commands = @echo $$shell_quote($$UV_WHY) >&2; exit 1\r\n"
    "        else: uvbuild.commands = @echo $$UV_WHY 1>&2 & exit 1\r\n"
    "    } else:isEmpty(UV_CMD) {\r\n"
    "        UV_EXE = $$uvQuoted($$UV_EXE)\r\n"
    "        UV_MATCH = -i -F\r\n"
    "        for(UV_PATTERN, UV_DIAGNOSTICS): UV_MATCH += -e \\\"$$UV_PATTERN\\\"\r\n"
    "        uvbuild.commands = @rm -f $$UV_LOG; if test -f uvision.rebuild; \\\r\n"
    "            then uv_mode=-r; else uv_mode=-b; fi; \\\r\n"
    "            $$UV_EXE $${LITERAL_DOLLAR}uv_mode $$UV_ARGS; \\\r\n"
    "            uv_status=$${LITERAL_DOLLAR}?; rm -f uvision.rebuild; \\\r\n"
    "            if test -f $$UV_LOG; then grep $$UV_MATCH $$UV_LOG >&2; \\\r\n"
    "            grep -v $$UV_MATCH $$UV_LOG; fi; test $${LITERAL_DOLLAR}uv_status -lt 2\r\n"
    "        uvclean.commands = @touch uvision.rebuild\r\n"
    "    } else {\r\n"
    "        # One if with an else, and that one first: Wine's cmd misreads the others.\r\n"
    "        UV_EXE = $$uvQuoted($$UV_EXE)\r\n"
    "        UV_MATCH = /L /I\r\n"
    "        for(UV_PATTERN, UV_DIAGNOSTICS): UV_MATCH += /C:\\\"$$UV_PATTERN\\\"\r\n"
    "        uvbuild.commands = @del /q $$UV_LOG uvision.failed 2>nul & \\\r\n"
    "            (if exist uvision.rebuild ($$UV_EXE -r $$UV_ARGS) else \\\r\n"
    "            ($$UV_EXE -b $$UV_ARGS)) & (if errorlevel 2 (type nul>uvision.failed)) & \\\r\n"
    "            del /q uvision.rebuild 2>nul & (if exist $$UV_LOG (findstr $$UV_MATCH \\\r\n"
    "            $$UV_LOG 1>&2 & findstr /V $$UV_MATCH $$UV_LOG)) & \\\r\n"
    "            (if exist uvision.failed (del /q uvision.failed & exit 1)) & exit 0\r\n"
    "        uvclean.commands = @type nul>uvision.rebuild\r\n"
    "    }\r\n"
    "    # make takes a '$' in a command for its own.\r\n"
    "    uvbuild.commands ~= s/[$$LITERAL_DOLLAR]/$$LITERAL_DOLLAR$$LITERAL_DOLLAR/g\r\n"
    "    uvbuild.depends = FORCE\r\n"
    "    uvclean.depends = FORCE\r\n"
    "    first.depends = uvbuild\r\n"
    "    clean.depends = uvclean\r\n"
    "    QMAKE_EXTRA_TARGETS += first clean uvbuild uvclean\r\n"
    "}\r\n";

} // namespace

QByteArray UvisionBuild::block() const
{
    QByteArray out = lead;
    out += "UV_PROJECT = $$PWD/" + Fragments::qmakeValue(projectFile).toUtf8() + "\r\n";
    if (selectedByUvTarget)
        out += "UV_BUILD_TARGET = $$UV_TARGET\r\n";
    else if (!target.isEmpty())
        out += "UV_BUILD_TARGET = " +
               Fragments::qmakeValue(target, Fragments::ValueSyntax::Quoted).toUtf8() + "\r\n";
    if (!installation.isEmpty())
        out += "UV_INSTALLED = " +
               Fragments::qmakeValue(installation + QLatin1String("/UV4/UV4.exe")).toUtf8() +
               "\r\n";
    out += body;
    return out;
}

QString buildingInstallation(const QList<Target> &targets, const QString &mdkRoot,
                             const QString &c51Root)
{
    const bool c51Only = !targets.isEmpty() &&
                         std::all_of(targets.cbegin(), targets.cend(), [](const Target &target) {
                             return target.toolset == QLatin1String("MCS-51");
                         });
    const QString &first = c51Only ? c51Root : mdkRoot;
    return first.isEmpty() ? (c51Only ? mdkRoot : c51Root) : first;
}

} // namespace Corvane
