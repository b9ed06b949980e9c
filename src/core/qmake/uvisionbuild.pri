# Build with uVision
# Build runs uVision's batch build of the target instead of the kit's compiler, "make flash"
# its download. UV4.exe comes from the environment variable UV4 when make runs, else from the
# installation found when this file was written, else from C:\Keil_v5. After make clean (Qt
# Creator's Rebuild) it passes -r. When the uVision project is newer than this file, Build
# first writes it again with corvane-cli: CORVANE, else the one recorded here, else the one
# on the PATH.
!qtc_run {
    # Qt Creator parses with qtc_run set and keeps every file. The Makefile is a subdirs
    # one without subdirs: it compiles nothing, and its default goal runs UV4.
    TEMPLATE = subdirs
    # UV4.exe when the environment variable UV4 names none: the first of these that exists.
    UV_CANDIDATES = $$UV_INSTALLED C:/Keil_v5/UV4/UV4.exe
    UV_CANDIDATES = $$unique(UV_CANDIDATES)
    UV_FOUND =
    UV_LOOKED =
    for(UV_PATH, UV_CANDIDATES) {
        UV_LOOKED += \"$$system_path($$UV_PATH)\"
        isEmpty(UV_FOUND):exists($$UV_PATH): UV_FOUND = $$UV_PATH
    }
    # The converter when the environment variable CORVANE names none: the one that wrote
    # this file, when it is there, else corvane-cli on the PATH.
    UV_CONVERTER =
    !isEmpty(CORVANE_CLI):exists($$CORVANE_CLI): UV_CONVERTER = $$CORVANE_CLI
    # cmd.exe runs the commands of nmake, jom and mingw32-make without sh.exe. MSVC's
    # Makefiles are nmake's, whose generator Visual Studio 2010 and later name MSBUILD.
    contains(MAKEFILE_GENERATOR, "MSVC\\.NET|MSBUILD"): UV_NMAKE = 1
    !isEmpty(UV_NMAKE)|isEmpty(QMAKE_SH): UV_CMD = 1
    defineReplace(uvArgument) {
        uv_quoted = $$shell_quote($$1)
        # nmake reads a '#' outside double quotes as a comment.
        !isEmpty(UV_CMD):!contains(uv_quoted, \".*): uv_quoted = \"$$uv_quoted\"
        return($$uv_quoted)
    }
    defineReplace(uvPath) {
        return($$uvArgument($$shell_path($$1)))
    }
    UV_LOG = $$uvPath($$OUT_PWD/uvision.log)
    UV_FLASH_LOG = $$uvPath($$OUT_PWD/flash.log)
    UV_ARGS = $$uvPath($$UV_PROJECT)
    !isEmpty(UV_BUILD_TARGET): UV_ARGS += -t $$uvArgument($$UV_BUILD_TARGET)
    UV_ARGS += -j0 -o
    UV_CONVERT = $$uvPath($$UV_PROJECT)
    !isEmpty(CORVANE_TARGET): UV_CONVERT = --target $$uvArgument($$CORVANE_TARGET) $$UV_CONVERT
    !isEmpty(CORVANE_PACK_ROOT): UV_CONVERT = --pack-root $$uvPath($$CORVANE_PACK_ROOT) $$UV_CONVERT
    !isEmpty(CORVANE_COMPILE_COMMANDS): UV_CONVERT = --compile-commands $$UV_CONVERT
    !isEmpty(CORVANE_COMPILE_COMMANDS_DIR): UV_CONVERT = --compile-commands-dir $$uvPath($$CORVANE_COMPILE_COMMANDS_DIR) $$UV_CONVERT
    # How Arm Compiler 5 and 6, armasm, armlink, C51 and its linkers begin a diagnostic.
    UV_DIAGNOSTICS = ": error" ": warning" ": fatal" ": note:" "*** error" "*** warning"
    # What cannot be found is said in one line that Qt Creator's Issues pane shows as an
    # error or a warning in this file.
    UV_PRO = $$shell_path($$_PRO_FILE_)
    UV_MISSING = "$${UV_PRO}:1: error: This project is built with uVision, but UV4.exe was not found:"
    UV_ONLY =
    !equals(QMAKE_HOST.os, Windows): UV_ONLY = "; uVision runs on Windows only"
    UV_SET = "$${UV_ONLY}. Set the environment variable UV4 to the full path of UV4.exe."
    UV_UNSET = "UV4 is not set, and UV4.exe is not at $$join(UV_LOOKED, " or ")"
    UV_STALE = "$${UV_PRO}:1: warning: $$basename(_PRO_FILE_) is older than $$basename(UV_PROJECT), and no converter writes it again:"
    UV_NONE = "CORVANE is not set, and corvane-cli is not on the PATH"
    !isEmpty(CORVANE_CLI):isEmpty(UV_CONVERTER): UV_NONE = "the converter this file records, $$system_path($$CORVANE_CLI), is no longer there, $$UV_NONE"
    UV_HOW = ". Convert it again with corvane-cli $$UV_CONVERT, or set the environment variable CORVANE to the full path of corvane-cli."
    # A diagnostic that begins with a relative file path, "..\Src\main.c(12): error", gets
    # the project's folder in front of it.
    UV_RELATIVE = "^[^*:( /][^:(]*[.][^:(]*[(:]"
    UV_NL = $$escape_expand(\\n\\t)
    isEmpty(UV_CMD) {
        UV_MATCH = -i -F
        for(UV_PATTERN, UV_DIAGNOSTICS): UV_MATCH += -e \"$$UV_PATTERN\"
        UV_LB = $$quote({)
        UV_RB = $$quote(})
        # uv_exe: UV4 from the environment make runs in, without double quotes, else the
        # one found above; uv_why: why there is none.
        UV_LOOKUP = uv_exe=`printf %s \"$${LITERAL_DOLLAR}UV4\" | tr -d \'\"\'`; \
            if test -z \"$${LITERAL_DOLLAR}uv_exe\"; then uv_exe=$$uvPath($$UV_FOUND); \
            uv_why=$$shell_quote($$UV_UNSET); elif test ! -f \"$${LITERAL_DOLLAR}uv_exe\"; \
            then uv_why=\"UV4 names \\\"$${LITERAL_DOLLAR}uv_exe\\\", which does not exist\"; \
            uv_exe=; fi; if test -z \"$${LITERAL_DOLLAR}uv_exe\"; then printf \'%s\\n\' \
            $$shell_quote("$$UV_MISSING ")\"$${LITERAL_DOLLAR}uv_why\"$$shell_quote($$UV_SET) \
            >&2; exit 1; fi
        UV_AWK = \'$$UV_LB l = $${LITERAL_DOLLAR}0; if (match(l, \"$$UV_RELATIVE\")) $$UV_LB \
            p = substr(l, 1, RLENGTH - 1); gsub(/\\\\/, \"/\", p); \
            l = ENVIRON[\"uv_dir\"] \"/\" p substr(l, RLENGTH) $$UV_RB print l $$UV_RB\'
        # The diagnostics on stderr, a relative path at their start made absolute; the other
        # lines on stdout.
        defineReplace(uvShow) {
            return(if test -f $$1; then grep $$UV_MATCH $$1 | uv_dir=$$uvPath($$PWD) \
                awk $$UV_AWK >&2; grep -v $$UV_MATCH $$1; fi)
        }
        uvbuild.commands = @rm -f $$UV_LOG; $$UV_LOOKUP ; \
            if test -f uvision.rebuild; then uv_mode=-r; else uv_mode=-b; fi; \
            \"$${LITERAL_DOLLAR}uv_exe\" $${LITERAL_DOLLAR}uv_mode $$UV_ARGS $$UV_LOG; \
            uv_status=$${LITERAL_DOLLAR}?; rm -f uvision.rebuild; $$uvShow($$UV_LOG) ; \
            test $${LITERAL_DOLLAR}uv_status -lt 2
        uvflash.commands = @rm -f $$UV_FLASH_LOG; $$UV_LOOKUP ; \
            \"$${LITERAL_DOLLAR}uv_exe\" -f $$UV_ARGS $$UV_FLASH_LOG; \
            uv_status=$${LITERAL_DOLLAR}?; $$uvShow($$UV_FLASH_LOG) ; \
            test $${LITERAL_DOLLAR}uv_status -lt 2
        uvclean.commands = @touch uvision.rebuild
        # The converter: CORVANE without double quotes, else the one found above, else
        # corvane-cli on the PATH.
        uvupdate.commands = @uv_conv=`printf %s \"$${LITERAL_DOLLAR}CORVANE\" | tr -d \'\"\'`; \
            uv_why=$$shell_quote($$UV_NONE); if test -n \"$${LITERAL_DOLLAR}uv_conv\"; then \
            test -f \"$${LITERAL_DOLLAR}uv_conv\" || \
            uv_why=\"CORVANE names \\\"$${LITERAL_DOLLAR}uv_conv\\\", which does not exist\"; \
            else uv_conv=$$uvPath($$UV_CONVERTER); fi; test -n \"$${LITERAL_DOLLAR}uv_conv\" || \
            uv_conv=`command -v corvane-cli`; if test -f \"$${LITERAL_DOLLAR}uv_conv\"; then \
            \"$${LITERAL_DOLLAR}uv_conv\" --diagnostics $$UV_CONVERT; else printf \'%s\\n\' \
            $$shell_quote("$$UV_STALE ")\"$${LITERAL_DOLLAR}uv_why\"$$shell_quote($$UV_HOW) >&2; fi
    } else {
        # One if with an else in a line, and that one first: Wine's cmd misreads the others.
        # Environment variables are make's, without double quotes: UV_ENV_UV4 and
        # UV_ENV_CORVANE stand for them until the end.
        UV_MATCH = /L /I
        for(UV_PATTERN, UV_DIAGNOSTICS): UV_MATCH += /C:\"$$UV_PATTERN\"
        UV_CHECK = @if not \"UV_ENV_UV4\"==\"\" if not exist \"UV_ENV_UV4\" for %%p in \
            (\"$$UV_MISSING\") do echo %%~p UV4 names \"UV_ENV_UV4\", which does not exist$$UV_SET \
            1>&2 & exit 1
        UV_FAILED = (if errorlevel 2 (type nul>uvision.failed))
        isEmpty(UV_FOUND) {
            UV_CHECK += $$UV_NL@if \"UV_ENV_UV4\"==\"\" for %%p in (\"$$UV_MISSING\") do \
                echo %%~p $$UV_UNSET$$UV_SET 1>&2 & exit 1
            UV_BUILD = (if exist uvision.rebuild (\"UV_ENV_UV4\" -r $$UV_ARGS $$UV_LOG) else \
                (\"UV_ENV_UV4\" -b $$UV_ARGS $$UV_LOG))
            UV_FLASH = \"UV_ENV_UV4\" -f $$UV_ARGS $$UV_FLASH_LOG
        } else {
            UV_FOUND = $$uvPath($$UV_FOUND)
            UV_BUILD = (if \"UV_ENV_UV4\"==\"\" (if exist uvision.rebuild ($$UV_FOUND -r \
                $$UV_ARGS $$UV_LOG) else ($$UV_FOUND -b $$UV_ARGS $$UV_LOG)) else \
                (if exist uvision.rebuild (\"UV_ENV_UV4\" -r $$UV_ARGS $$UV_LOG) else \
                (\"UV_ENV_UV4\" -b $$UV_ARGS $$UV_LOG)))
            UV_FLASH = (if \"UV_ENV_UV4\"==\"\" ($$UV_FOUND -f $$UV_ARGS $$UV_FLASH_LOG) else \
                (\"UV_ENV_UV4\" -f $$UV_ARGS $$UV_FLASH_LOG))
        }
        # The diagnostics on stderr, a relative path at their start made absolute; the other
        # lines on stdout; UV4's status 2 and above fails.
        defineReplace(uvShow) {
            return($$UV_NL@(for /f \"tokens=1 delims=:\" %%n in \
                (\'findstr /N /R /C:\"$$UV_RELATIVE\" $$1\') do (set uvrel%%n=1)) & \
                (for %%d in ($$uvPath($$PWD)) do for /f \"tokens=1* delims=:\" %%a in \
                (\'findstr /N $$UV_MATCH $$1\') do (if defined uvrel%%a \
                (echo.%%~d\\%%b>&2) else (echo.%%b>&2))) & exit 0 \
                $$UV_NL@findstr /V $$UV_MATCH $$1 & exit 0 \
                $$UV_NL@if exist uvision.failed (del /q uvision.failed & exit 1) else (exit 0))
        }
        uvbuild.commands = $$UV_CHECK $$UV_NL@del /q $$UV_LOG uvision.failed 2>nul & \
            $$UV_BUILD & $$UV_FAILED & (if not exist $$UV_LOG (type nul>$$UV_LOG)) & \
            del /q uvision.rebuild 2>nul & exit 0 $$uvShow($$UV_LOG)
        uvflash.commands = $$UV_CHECK $$UV_NL@del /q $$UV_FLASH_LOG uvision.failed 2>nul & \
            $$UV_FLASH & $$UV_FAILED & (if not exist $$UV_FLASH_LOG (type nul>$$UV_FLASH_LOG)) & \
            exit 0 $$uvShow($$UV_FLASH_LOG)
        uvclean.commands = @type nul>uvision.rebuild
        # The converter: CORVANE, else the one found above, else corvane-cli on the PATH.
        uvupdate.commands = @if not \"UV_ENV_CORVANE\"==\"\" if not exist \"UV_ENV_CORVANE\" \
            for %%p in (\"$$UV_STALE\") do echo %%~p CORVANE names \"UV_ENV_CORVANE\", which \
            does not exist$$UV_HOW 1>&2 \
            $$UV_NL@if not \"UV_ENV_CORVANE\"==\"\" if exist \"UV_ENV_CORVANE\" \
            \"UV_ENV_CORVANE\" --diagnostics $$UV_CONVERT
        isEmpty(UV_CONVERTER) {
            uvupdate.commands += $$UV_NL@del /q corvane.found 2>nul & (if \"UV_ENV_CORVANE\"==\"\" \
                (type nul>corvane.found & corvane-cli --version >nul 2>nul)) & \
                (if errorlevel 1 (del /q corvane.found 2>nul)) & exit 0 \
                $$UV_NL@if \"UV_ENV_CORVANE\"==\"\" if not exist corvane.found for %%p in \
                (\"$$UV_STALE\") do echo %%~p $${UV_NONE}$$UV_HOW 1>&2 \
                $$UV_NL@if exist corvane.found del /q corvane.found & corvane-cli --diagnostics \
                $$UV_CONVERT
        } else {
            uvupdate.commands += $$UV_NL@if \"UV_ENV_CORVANE\"==\"\" $$uvPath($$UV_CONVERTER) \
                --diagnostics $$UV_CONVERT
        }
    }
    # make takes a '$' in a command for its own.
    for(UV_STEP, $$list(uvbuild uvflash uvupdate)) {
        $${UV_STEP}.commands ~= s/[$$LITERAL_DOLLAR]/$$LITERAL_DOLLAR$$LITERAL_DOLLAR/g
        !isEmpty(UV_CMD) {
            # nmake and jom drop the double quotes with $(NAME:"=), GNU make with subst.
            !isEmpty(UV_NMAKE) {
                $${UV_STEP}.commands ~= s/UV_ENV_UV4/$${LITERAL_DOLLAR}(UV4:\"=)/g
                $${UV_STEP}.commands ~= s/UV_ENV_CORVANE/$${LITERAL_DOLLAR}(CORVANE:\"=)/g
            } else {
                $${UV_STEP}.commands ~= s/UV_ENV_UV4/$${LITERAL_DOLLAR}(subst \",,$${LITERAL_DOLLAR}(value UV4))/g
                $${UV_STEP}.commands ~= s/UV_ENV_CORVANE/$${LITERAL_DOLLAR}(subst \",,$${LITERAL_DOLLAR}(value CORVANE))/g
            }
        }
    }
    # Build writes the .pro again first when the project is newer: a target named as the
    # Makefile's own rule names this file, relative to the build folder ("../fw.pro") when
    # it lies at most four folders up, else absolute. GNU make then runs qmake again and
    # goes on with the new Makefile.
    UV_PRO_TARGET = $$relative_path($$_PRO_FILE_, $$OUT_PWD)
    contains(UV_PRO_TARGET, "^(\\.\\./){5}.*"): UV_PRO_TARGET = $$_PRO_FILE_
    UV_PRO_TARGET ~= s/[$$LITERAL_DOLLAR]/$$LITERAL_DOLLAR$$LITERAL_DOLLAR/g
    uvupdate.target = $$UV_PRO_TARGET
    uvupdate.depends = $$relative_path($$UV_PROJECT, $$OUT_PWD)
    uvupdate.depends ~= s/[$$LITERAL_DOLLAR]/$$LITERAL_DOLLAR$$LITERAL_DOLLAR/g
    uvbuild.depends = $$UV_PRO_TARGET FORCE
    uvflash.depends = FORCE
    uvclean.depends = FORCE
    first.depends = uvbuild
    clean.depends = uvclean
    flash.depends = uvflash
    QMAKE_EXTRA_TARGETS += first clean flash uvbuild uvclean uvflash uvupdate
}
