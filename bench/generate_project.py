#!/usr/bin/env python3
"""Writes a synthetic Keil uVision project (.uvprojx) of a chosen size for benchmarking.

The file has the shape of a vendor SDK workspace: N targets, each with the full target
option sections, a compiler and an assembler include list, and M source files in groups,
most with a per-file option block (the empty Define/IncludePath lines in those blocks are
what a line scanner meets most often). One target carries an extra-long include list.
CRLF line ends, two-space XML indentation. Beside the project, a header tree makes part of
the include directories real, each holding a few *.h files.

    bench/generate_project.py OUT_DIR [--targets 80] [--files 140] [--scale 8] ...
    bench/generate_project.py OUT_DIR --targets 10 --long-values 20000   (long values)

Prints the path of the project file. The output depends only on the arguments.
"""

import argparse
import os
import random

MODULES = [
    "ble_advertising", "ble_db_discovery", "ble_dtm", "ble_link_ctx", "ble_racp",
    "nrf_ble_gatt", "nrf_ble_qwr", "nrf_ble_scan", "peer_manager", "ble_conn_params",
    "atomic", "atomic_fifo", "atomic_flags", "balloc", "block_dev", "bsp", "button",
    "cli", "crc16", "crc32", "csense", "delay", "experimental_section_vars", "fds",
    "fifo", "fstorage", "gfx", "hardfault", "hci", "led_softblink", "log", "low_power_pwm",
    "mem_manager", "memobj", "mpu", "mutex", "pwm", "pwr_mgmt", "queue", "ringbuf",
    "scheduler", "sdcard", "slip", "sortlist", "spi_mngr", "stack_guard", "strerror",
    "svc", "timer", "twi_mngr", "twi_sensor", "uart", "usbd", "util", "gpiote", "ppi",
    "saadc", "spim", "twim", "uarte", "wdt", "rtc", "clock", "power", "qspi", "i2s",
]
AREAS = ["components/ble", "components/libraries", "modules/nrfx/drivers",
         "integration/nrfx/legacy", "external/segger_rtt", "components/softdevice"]


def crlf(lines):
    return "".join(line + "\r\n" for line in lines)


def target_options(name, device, defines, includes, asm_includes):
    """The option sections of one target, from <TargetName> to </TargetOption>."""
    ocr = []
    for i in range(1, 11):
        ocr += [f"              <OCR_RVCT{i}>", "                <Type>0</Type>",
                "                <StartAddress>0x0</StartAddress>",
                "                <Size>0x0</Size>", f"              </OCR_RVCT{i}>"]
    prog_blocks = []
    for block, tag in (("BeforeCompile", "U"), ("BeforeMake", "B"), ("AfterMake", "A")):
        prog_blocks += [f"          <{block}>", "            <RunUserProg1>0</RunUserProg1>",
                        "            <RunUserProg2>0</RunUserProg2>",
                        "            <UserProg1Name></UserProg1Name>",
                        "            <UserProg2Name></UserProg2Name>",
                        "            <UserProg1Dos16Mode>0</UserProg1Dos16Mode>",
                        "            <UserProg2Dos16Mode>0</UserProg2Dos16Mode>",
                        f"            <nStop{tag}1X>0</nStop{tag}1X>",
                        f"            <nStop{tag}2X>0</nStop{tag}2X>", f"          </{block}>"]
    lines = [
        f"      <TargetName>{name}</TargetName>",
        "      <ToolsetNumber>0x4</ToolsetNumber>",
        "      <ToolsetName>ARM-ADS</ToolsetName>",
        "      <pCCUsed>5060750::V5.06 update 6 (build 750)::ARMCC</pCCUsed>",
        "      <uAC6>0</uAC6>",
        "      <TargetOption>",
        "        <TargetCommonOption>",
        f"          <Device>{device}</Device>",
        "          <Vendor>Nordic Semiconductor</Vendor>",
        "          <PackID>NordicSemiconductor.nRF_DeviceFamilyPack.8.17.0</PackID>",
        "          <PackURL>http://developer.nordicsemi.com/nRF5_SDK/pieces/nRF_DeviceFamilyPack/</PackURL>",
        "          <Cpu>IROM(0x00000000,0x80000) IRAM(0x20000000,0x10000) CPUTYPE(\"Cortex-M4\") FPU2 CLOCK(64000000) ELITTLE</Cpu>",
        "          <FlashUtilSpec></FlashUtilSpec>",
        "          <StartupFile></StartupFile>",
        "          <FlashDriverDll>UL2CM3(-S0 -C0 -P0 -FD20000000 -FC1000 -FN1 -FF0nrf52xxx -FS00 -FL0200000 -FP0($$Device:nRF52832_xxAA$Flash\\nrf52xxx.flm))</FlashDriverDll>",
        "          <DeviceId>0</DeviceId>",
        "          <RegisterFile>$$Device:nRF52832_xxAA$Device\\Include\\nrf.h</RegisterFile>",
        "          <MemoryEnv></MemoryEnv>",
        "          <Cmp></Cmp>",
        "          <Asm></Asm>",
        "          <Linker></Linker>",
        "          <OHString></OHString>",
        "          <InfinionOptionDll></InfinionOptionDll>",
        "          <SLE66CMisc></SLE66CMisc>",
        "          <SLE66AMisc></SLE66AMisc>",
        "          <SLE66LinkerMisc></SLE66LinkerMisc>",
        "          <SFDFile>..\\..\\sdk\\modules\\nrfx\\mdk\\nrf52.svd</SFDFile>",
        "          <bCustSvd>0</bCustSvd>",
        "          <UseEnv>0</UseEnv>",
        "          <BinPath></BinPath>",
        "          <IncludePath></IncludePath>",
        "          <LibPath></LibPath>",
        "          <RegisterFilePath></RegisterFilePath>",
        "          <DBRegisterFilePath></DBRegisterFilePath>",
        "          <TargetStatus>",
        "            <Error>0</Error>",
        "            <ExitCodeStop>0</ExitCodeStop>",
        "            <ButtonStop>0</ButtonStop>",
        "            <NotGenerated>0</NotGenerated>",
        "            <InvalidFlash>1</InvalidFlash>",
        "          </TargetStatus>",
        "          <OutputDirectory>.\\_build\\</OutputDirectory>",
        f"          <OutputName>{name}</OutputName>",
        "          <CreateExecutable>1</CreateExecutable>",
        "          <CreateLib>0</CreateLib>",
        "          <CreateHexFile>1</CreateHexFile>",
        "          <DebugInformation>1</DebugInformation>",
        "          <BrowseInformation>1</BrowseInformation>",
        "          <ListingPath>.\\_build\\</ListingPath>",
        "          <HexFormatSelection>1</HexFormatSelection>",
        "          <Merge32K>0</Merge32K>",
        "          <CreateBatchFile>0</CreateBatchFile>",
        *prog_blocks,
        "          <SelectedForBatchBuild>0</SelectedForBatchBuild>",
        "          <SVCSIdString></SVCSIdString>",
        "        </TargetCommonOption>",
        "        <CommonProperty>",
        "          <UseCPPCompiler>0</UseCPPCompiler>",
        "          <RVCTCodeConst>0</RVCTCodeConst>",
        "          <RVCTZI>0</RVCTZI>",
        "          <RVCTOtherData>0</RVCTOtherData>",
        "          <ModuleSelection>0</ModuleSelection>",
        "          <IncludeInBuild>1</IncludeInBuild>",
        "          <AlwaysBuild>0</AlwaysBuild>",
        "          <GenerateAssemblyFile>0</GenerateAssemblyFile>",
        "          <AssembleAssemblyFile>0</AssembleAssemblyFile>",
        "          <PublicsOnly>0</PublicsOnly>",
        "          <StopOnExitCode>3</StopOnExitCode>",
        "          <CustomArgument></CustomArgument>",
        "          <IncludeLibraryModules></IncludeLibraryModules>",
        "          <ComprImg>1</ComprImg>",
        "        </CommonProperty>",
        "        <DllOption>",
        "          <SimDllName></SimDllName>",
        "          <SimDllArguments></SimDllArguments>",
        "          <SimDlgDll></SimDlgDll>",
        "          <SimDlgDllArguments></SimDlgDllArguments>",
        "          <TargetDllName>SARMCM3.DLL</TargetDllName>",
        "          <TargetDllArguments>-MPU</TargetDllArguments>",
        "          <TargetDlgDll>TCM.DLL</TargetDlgDll>",
        "          <TargetDlgDllArguments>-pCM4</TargetDlgDllArguments>",
        "        </DllOption>",
        "        <DebugOption>",
        "          <OPTHX>",
        "            <HexSelection>1</HexSelection>",
        "            <HexRangeLowAddress>0</HexRangeLowAddress>",
        "            <HexRangeHighAddress>0</HexRangeHighAddress>",
        "            <HexOffset>0</HexOffset>",
        "            <Oh166RecLen>16</Oh166RecLen>",
        "          </OPTHX>",
        "        </DebugOption>",
        "        <Utilities>",
        "          <Flash1>",
        "            <UseTargetDll>1</UseTargetDll>",
        "            <UseExternalTool>0</UseExternalTool>",
        "            <RunIndependent>0</RunIndependent>",
        "            <UpdateFlashBeforeDebugging>1</UpdateFlashBeforeDebugging>",
        "            <Capability>1</Capability>",
        "            <DriverSelection>4099</DriverSelection>",
        "          </Flash1>",
        "          <bUseTDR>1</bUseTDR>",
        "          <Flash2>Segger\\JL2CM3.dll</Flash2>",
        "          <Flash3></Flash3>",
        "          <Flash4></Flash4>",
        "          <pFcarmOut></pFcarmOut>",
        "          <pFcarmGrp></pFcarmGrp>",
        "          <pFcArmRoot></pFcArmRoot>",
        "          <FcArmLst>0</FcArmLst>",
        "        </Utilities>",
        "        <TargetArmAds>",
        "          <ArmAdsMisc>",
        "            <GenerateListings>0</GenerateListings>",
        "            <asHll>1</asHll>",
        "            <asAsm>1</asAsm>",
        "            <asMacX>1</asMacX>",
        "            <asSyms>1</asSyms>",
        "            <asFals>1</asFals>",
        "            <asDbgD>1</asDbgD>",
        "            <asForm>1</asForm>",
        "            <ldLst>0</ldLst>",
        "            <ldmm>1</ldmm>",
        "            <ldXref>1</ldXref>",
        "            <BigEnd>0</BigEnd>",
        "            <AdsALst>1</AdsALst>",
        "            <AdsACrf>1</AdsACrf>",
        "            <AdsANop>0</AdsANop>",
        "            <AdsANot>0</AdsANot>",
        "            <AdsLLst>1</AdsLLst>",
        "            <AdsLmap>1</AdsLmap>",
        "            <AdsLcgr>1</AdsLcgr>",
        "            <AdsLsym>1</AdsLsym>",
        "            <AdsLszi>1</AdsLszi>",
        "            <AdsLtoi>1</AdsLtoi>",
        "            <AdsLsun>1</AdsLsun>",
        "            <AdsLven>1</AdsLven>",
        "            <AdsLsxf>1</AdsLsxf>",
        "            <RvctClst>0</RvctClst>",
        "            <GenPPlst>0</GenPPlst>",
        "            <AdsCpuType>\"Cortex-M4\"</AdsCpuType>",
        "            <RvctDeviceName></RvctDeviceName>",
        "            <mOS>0</mOS>",
        "            <uocRom>0</uocRom>",
        "            <uocRam>0</uocRam>",
        "            <hadIROM>1</hadIROM>",
        "            <hadIRAM>1</hadIRAM>",
        "            <hadXRAM>0</hadXRAM>",
        "            <uocXRam>0</uocXRam>",
        "            <RvdsVP>2</RvdsVP>",
        "            <hadIRAM2>0</hadIRAM2>",
        "            <hadIROM2>0</hadIROM2>",
        "            <StupSel>8</StupSel>",
        "            <useUlib>1</useUlib>",
        "            <EndSel>0</EndSel>",
        "            <uLtcg>0</uLtcg>",
        "            <nSecure>0</nSecure>",
        "            <RoSelD>3</RoSelD>",
        "            <RwSelD>3</RwSelD>",
        "            <CodeSel>0</CodeSel>",
        "            <OptFeed>0</OptFeed>",
        "            <NoZi1>0</NoZi1>",
        "            <NoZi2>0</NoZi2>",
        "            <NoZi3>0</NoZi3>",
        "            <NoZi4>0</NoZi4>",
        "            <NoZi5>0</NoZi5>",
        "            <Ro1Chk>0</Ro1Chk>",
        "            <Ro2Chk>0</Ro2Chk>",
        "            <Ro3Chk>0</Ro3Chk>",
        "            <Ir1Chk>1</Ir1Chk>",
        "            <Ir2Chk>0</Ir2Chk>",
        "            <Ra1Chk>0</Ra1Chk>",
        "            <Ra2Chk>0</Ra2Chk>",
        "            <Ra3Chk>0</Ra3Chk>",
        "            <Im1Chk>1</Im1Chk>",
        "            <Im2Chk>0</Im2Chk>",
        "            <OnChipMemories>",
        *ocr,
        "            </OnChipMemories>",
        "            <RvctStartVector></RvctStartVector>",
        "          </ArmAdsMisc>",
        "          <Cads>",
        "            <interw>1</interw>",
        "            <Optim>4</Optim>",
        "            <oTime>0</oTime>",
        "            <SplitLS>0</SplitLS>",
        "            <OneElfS>1</OneElfS>",
        "            <Strict>0</Strict>",
        "            <EnumInt>0</EnumInt>",
        "            <PlainCh>0</PlainCh>",
        "            <Ropi>0</Ropi>",
        "            <Rwpi>0</Rwpi>",
        "            <wLevel>2</wLevel>",
        "            <uThumb>0</uThumb>",
        "            <uSurpInc>0</uSurpInc>",
        "            <uC99>1</uC99>",
        "            <uGnu>0</uGnu>",
        "            <useXO>0</useXO>",
        "            <v6Lang>1</v6Lang>",
        "            <v6LangP>1</v6LangP>",
        "            <vShortEn>1</vShortEn>",
        "            <vShortWch>1</vShortWch>",
        "            <v6Lto>0</v6Lto>",
        "            <v6WtE>0</v6WtE>",
        "            <v6Rtti>0</v6Rtti>",
        "            <VariousControls>",
        "              <MiscControls>--reduce_paths</MiscControls>",
        f"              <Define>{defines}</Define>",
        "              <Undefine></Undefine>",
        f"              <IncludePath>{includes}</IncludePath>",
        "            </VariousControls>",
        "          </Cads>",
        "          <Aads>",
        "            <interw>1</interw>",
        "            <Ropi>0</Ropi>",
        "            <Rwpi>0</Rwpi>",
        "            <thumb>0</thumb>",
        "            <SplitLS>0</SplitLS>",
        "            <SwStkChk>0</SwStkChk>",
        "            <NoWarn>0</NoWarn>",
        "            <uSurpInc>0</uSurpInc>",
        "            <useXO>0</useXO>",
        "            <ClangAsOpt>1</ClangAsOpt>",
        "            <VariousControls>",
        "              <MiscControls></MiscControls>",
        "              <Define> __HEAP_SIZE=8192 __STACK_SIZE=8192</Define>",
        "              <Undefine></Undefine>",
        f"              <IncludePath>{asm_includes}</IncludePath>",
        "            </VariousControls>",
        "          </Aads>",
        "          <LDads>",
        "            <umfTarg>1</umfTarg>",
        "            <Ropi>0</Ropi>",
        "            <Rwpi>0</Rwpi>",
        "            <noStLib>0</noStLib>",
        "            <RepFail>1</RepFail>",
        "            <useFile>0</useFile>",
        "            <TextAddressRange>0x00000000</TextAddressRange>",
        "            <DataAddressRange>0x20000000</DataAddressRange>",
        "            <pXoBase></pXoBase>",
        "            <ScatterFile></ScatterFile>",
        "            <IncludeLibs></IncludeLibs>",
        "            <IncludeLibsPath></IncludeLibsPath>",
        "            <Misc>--diag_suppress 6330</Misc>",
        "            <LinkerInputFile></LinkerInputFile>",
        "            <DisabledWarnings></DisabledWarnings>",
        "          </LDads>",
        "        </TargetArmAds>",
        "      </TargetOption>",
    ]
    return lines


def option_block(kind, indent):
    """A per-file (FileOption) or per-group (GroupOption) block: every value inherited."""
    pad = " " * indent
    lines = [f"<{kind}>", "  <CommonProperty>"]
    for tag, value in (("UseCPPCompiler", 0), ("RVCTCodeConst", 0), ("RVCTZI", 0),
                       ("RVCTOtherData", 0), ("ModuleSelection", 0), ("IncludeInBuild", 1),
                       ("AlwaysBuild", 2), ("GenerateAssemblyFile", 2),
                       ("AssembleAssemblyFile", 2), ("PublicsOnly", 2),
                       ("StopOnExitCode", 11)):
        lines.append(f"    <{tag}>{value}</{tag}>")
    lines += ["    <CustomArgument></CustomArgument>",
              "    <IncludeLibraryModules></IncludeLibraryModules>",
              "    <ComprImg>1</ComprImg>", "  </CommonProperty>"]
    ads = "FileArmAds" if kind == "FileOption" else "GroupArmAds"
    lines += [f"  <{ads}>", "    <Cads>"]
    for tag, value in (("interw", 2), ("Optim", 0), ("oTime", 2), ("SplitLS", 2),
                       ("OneElfS", 2), ("Strict", 2), ("EnumInt", 2), ("PlainCh", 2),
                       ("Ropi", 2), ("Rwpi", 2), ("wLevel", 0), ("uThumb", 2),
                       ("uSurpInc", 2), ("uC99", 2), ("useXO", 2), ("v6Lang", 0),
                       ("v6LangP", 0), ("vShortEn", 2), ("vShortWch", 2), ("v6Lto", 0),
                       ("v6WtE", 2), ("v6Rtti", 2)):
        lines.append(f"      <{tag}>{value}</{tag}>")
    lines += ["      <VariousControls>", "        <MiscControls></MiscControls>",
              "        <Define></Define>", "        <Undefine></Undefine>",
              "        <IncludePath></IncludePath>", "      </VariousControls>", "    </Cads>"]
    if kind == "GroupOption":
        lines += ["    <Aads>", "      <interw>2</interw>", "      <Ropi>2</Ropi>",
                  "      <Rwpi>2</Rwpi>", "      <thumb>2</thumb>", "      <SplitLS>2</SplitLS>",
                  "      <SwStkChk>2</SwStkChk>", "      <NoWarn>2</NoWarn>",
                  "      <uSurpInc>2</uSurpInc>", "      <useXO>2</useXO>",
                  "      <ClangAsOpt>0</ClangAsOpt>", "      <VariousControls>",
                  "        <MiscControls></MiscControls>", "        <Define></Define>",
                  "        <Undefine></Undefine>", "        <IncludePath></IncludePath>",
                  "      </VariousControls>", "    </Aads>"]
    lines += [f"  </{ads}>", f"</{kind}>"]
    return [pad + line for line in lines]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("out_dir")
    parser.add_argument("--targets", type=int, default=80, help="targets (default 80)")
    parser.add_argument("--files", type=int, default=160, help="source files per target")
    parser.add_argument("--includes", type=int, default=150,
                        help="entries of each target's include list")
    parser.add_argument("--real-includes", type=int, default=60,
                        help="how many of those directories exist and hold headers")
    parser.add_argument("--long-include", type=int, default=10000,
                        help="entries of the one extra-long include list")
    parser.add_argument("--option-share", type=float, default=0.9,
                        help="share of files with a per-file option block")
    parser.add_argument("--long-values", type=int, default=0, metavar="N",
                        help="every target's include lists (C and assembler) and define list "
                             "hold N entries instead (the long-value shape)")
    parser.add_argument("--scale", type=int, default=1,
                        help="multiplies the targets and the long include list")
    parser.add_argument("--name", default="Bench")
    parser.add_argument("--seed", type=int, default=5)
    args = parser.parse_args()

    rng = random.Random(args.seed)
    targets = args.targets * args.scale
    long_entries = args.long_include * args.scale

    # Layout: OUT/sdk/... holds the SDK, OUT/app/MDK-ARM/ the project; include entries climb
    # two levels from the project directory and stay inside OUT.
    project_dir = os.path.join(args.out_dir, "app", "MDK-ARM")
    os.makedirs(project_dir, exist_ok=True)

    directories = []
    for area in AREAS:
        for module in MODULES:
            directories.append(f"{area}/{module}")
    rng.shuffle(directories)
    include_dirs = directories[:args.includes]
    for rel in include_dirs[:args.real_includes]:
        path = os.path.join(args.out_dir, "sdk", rel)
        os.makedirs(path, exist_ok=True)
        module = rel.rsplit("/", 1)[1]
        for i in range(rng.randint(2, 12)):
            suffix = ".H" if i == 5 else ".h"
            open(os.path.join(path, f"{module}_{i:02d}{suffix}"), "w").close()
        open(os.path.join(path, f"{module}.c"), "w").close()
    rng.shuffle(include_dirs)
    include_list = ";".join("..\\..\\sdk\\" + rel.replace("/", "\\") for rel in include_dirs)

    # Mostly directories that do not exist, as in a list that points outside the checkout;
    # every 100th one is a real directory again.
    long_list = []
    for i in range(long_entries):
        if i % 100 == 0:
            long_list.append("..\\..\\sdk\\" + include_dirs[i // 100 % len(include_dirs)]
                             .replace("/", "\\"))
        else:
            long_list.append(f"..\\..\\..\\..\\vendor\\pack_{i // 500:03d}\\module_{i:06d}\\include")
    long_list = ";".join(long_list)

    long_values_includes = ";".join(
        f"..\\..\\..\\..\\vendor\\pack_{i // 500:03d}\\module_{i:06d}\\include"
        if i % 100 else "..\\..\\sdk\\" + include_dirs[i // 100 % len(include_dirs)].replace("/", "\\")
        for i in range(args.long_values))
    long_values_defines = ",".join(f"CONFIG_OPTION_{i:06d}={i % 7}" for i in range(args.long_values))

    sources = [(f"{area}/{module}", f"{module}_{i}.c")
               for area in AREAS for module in MODULES for i in range(3)]

    out = [
        '<?xml version="1.0" encoding="UTF-8" standalone="no" ?>',
        '<Project xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" '
        'xsi:noNamespaceSchemaLocation="project_projx.xsd">',
        "",
        "  <SchemaVersion>2.1</SchemaVersion>",
        "",
        "  <Header>### uVision Project, (C) Keil Software</Header>",
        "",
        "  <Targets>",
    ]
    chunks = [crlf(out)]
    for t in range(targets):
        name = f"board_{t:04d}_{'debug' if t % 2 else 'release'}"
        defines = ("BOARD_PCA10040 CONFIG_GPIO_AS_PINRESET FLOAT_ABI_HARD NRF52 "
                   f"NRF52832_XXAA NRF52_PAN_74 NRF_SD_BLE_API_VERSION=6 S132 BOARD_ID={t} "
                   "SOFTDEVICE_PRESENT __HEAP_SIZE=8192 __STACK_SIZE=8192")
        if t % 3 == 0:
            defines = defines.replace(" ", ",")
        includes = long_list if t == targets // 2 else include_list
        asm_includes = include_list if t % 4 == 0 else ""
        if args.long_values:
            # As vendor SDK projects repeat them: the same lists in every target, the
            # assembler's a copy of the compiler's.
            includes = asm_includes = long_values_includes
            defines = long_values_defines + f",BOARD_ID={t}"
        lines = ["    <Target>"]
        lines += target_options(name, "nRF52832_xxAA", defines, includes, asm_includes)
        lines.append("      <Groups>")
        files = rng.sample(sources, args.files - 2)
        groups = {"Application": [("app", "main.c"), ("app", "startup_nrf52.s")]}
        for rel, fname in files:
            groups.setdefault(rel.split("/")[1], []).append((rel, fname))
        for group, members in groups.items():
            lines += ["        <Group>", f"          <GroupName>{group}</GroupName>", "          <Files>"]
            for rel, fname in members:
                if rel == "app":
                    path = "..\\Src\\" + fname if fname.endswith(".c") else fname
                elif t % 5 == 1:
                    # Tool-generated projects write forward slashes.
                    path = f"../../sdk/{rel}/{fname}"
                else:
                    path = "..\\..\\sdk\\" + rel.replace("/", "\\") + "\\" + fname
                kind = 2 if fname.endswith(".s") else 1
                lines += ["            <File>", f"              <FileName>{fname}</FileName>",
                          f"              <FileType>{kind}</FileType>",
                          f"              <FilePath>{path}</FilePath>"]
                if rng.random() < args.option_share:
                    lines += option_block("FileOption", 14)
                lines.append("            </File>")
            lines += ["          </Files>", "        </Group>"]
        lines += ["        <Group>", "          <GroupName>::CMSIS</GroupName>"]
        lines += option_block("GroupOption", 10)
        lines += ["        </Group>", "      </Groups>", "    </Target>"]
        chunks.append(crlf(lines))
    chunks.append(crlf([
        "  </Targets>", "", "  <RTE>", "    <apis/>", "    <components/>", "    <files/>",
        "  </RTE>", "", "</Project>"]))

    project = os.path.join(project_dir, args.name + ".uvprojx")
    with open(project, "w", encoding="utf-8", newline="") as f:
        f.writelines(chunks)
    print(project)


if __name__ == "__main__":
    main()
