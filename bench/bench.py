#!/usr/bin/env python3
"""Times corvane-cli against a plain grep scan of the same project file.

Builds corvane-cli (in build-bench/ unless --build-dir says otherwise), generates a 1x
(80 targets, ~30 MB, one include list of 10,000 entries) and an 8x project into a
temporary directory, then times, interleaved over several rounds,

    corvane-cli PROJECT
    grep -c -E '</(Device|Define|IncludePath|FilePath)>' PROJECT

and prints a markdown table of medians, the corvane/grep ratio, the 8x/1x scaling and
the peak memory (from /usr/bin/time -v).

    bench/bench.py [--rounds 7] [--scales 1,8] [--build-dir DIR | --cli PATH]
                   [--baseline PATH] [--keep]
    bench/bench.py --packs [N] [--rounds 7] ...
    bench/bench.py --long-values [N] [--rounds 7] ...

--long-values measures the long-value shape instead: 10 targets whose define list and include
lists (the compiler's and the assembler's copy) hold N entries each (5,000 by default), 1,000
files each, about 28 MB; each tool also on one core (taskset -c 0), where the reading thread
gains nothing.

--baseline times a second corvane-cli (an earlier build) in the same rounds, so that the
two are compared under the same load.

--packs measures the pack root instead: the legacy ST StdPeriph project of ../shared/corpus
(5 targets naming a device but no pack) against a small root (the packs of ../shared/packs,
9 descriptions) and a large one (the same and copies of their descriptions under other
vendor names, N in all, by default 159: bench/generate_packroot.py). In each round, for
each root, the index of the root is removed, then the project is converted twice: the
first conversion builds the index, the second finds it current. The index goes to a cache
folder in the work directory (XDG_CACHE_HOME), not the user's.

Installs what it needs first (tools/deps build bench).
"""

import argparse
import os
import platform
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GREP_PATTERN = "</(Device|Define|IncludePath|FilePath)>"


def build(build_dir):
    if not os.path.exists(os.path.join(build_dir, "CMakeCache.txt")):
        subprocess.run(["cmake", "-S", ROOT, "-B", build_dir,
                        "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DCORVANE_BUILD_TESTS=OFF"],
                       check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "--target", "corvane-cli", "--parallel", "2"],
                   check=True, stdout=subprocess.DEVNULL)
    return os.path.join(build_dir, "bin", "corvane-cli")


def generate(work_dir, scale, long_values=0):
    out = os.path.join(work_dir, f"x{scale}" if not long_values else f"long{long_values}")
    existing = os.path.join(out, "app", "MDK-ARM", "Bench.uvprojx")
    if os.path.exists(existing):
        return existing
    shape = ["--scale", str(scale)] if not long_values else \
        ["--targets", "10", "--files", "1000", "--long-values", str(long_values)]
    result = subprocess.run([sys.executable, os.path.join(ROOT, "bench", "generate_project.py"),
                             out] + shape,
                            check=True, stdout=subprocess.PIPE, text=True)
    return result.stdout.strip()


def commands(cli, project, baseline=None, one_core=False):
    pin = ["taskset", "-c", "0"] if one_core else []
    runs = {
        "corvane": pin + [cli, project],
        "grep": pin + ["grep", "-c", "-E", GREP_PATTERN, project],
    }
    if baseline:
        runs["baseline"] = pin + [baseline, project]
    return runs


def timed(command, env):
    # stdout is a pipe, not /dev/null: GNU grep stops at the first match when its output
    # goes nowhere. stderr too: the pack case's project names files that are not there.
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
    return time.perf_counter() - start


def peak_kib(command, env):
    result = subprocess.run(["/usr/bin/time", "-v"] + command, check=True,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=env)
    match = re.search(r"Maximum resident set size \(kbytes\): (\d+)", result.stderr)
    return int(match.group(1))


def pack_roots(work_dir, descriptions):
    roots = {}
    for label, count in (("small", 9), ("large", descriptions)):
        out = os.path.join(work_dir, f"packs-{count}")
        if not os.path.exists(out):
            subprocess.run([sys.executable, os.path.join(ROOT, "bench", "generate_packroot.py"),
                            out, "--descriptions", str(count)], check=True,
                           stdout=subprocess.DEVNULL)
        roots[label] = out
    return roots


def pdsc_size(root):
    return sum(os.path.getsize(os.path.join(folder, f))
               for folder, _, files in os.walk(root) for f in files if f.endswith(".pdsc"))


def bench_packs(args, cli, baseline, work_dir, env):
    corpus = os.path.join(ROOT, "..", "shared", "corpus", "st_stdperiph_f4_uvproj_5targets")
    if not os.path.isdir(corpus):
        sys.exit(f"--packs needs the project corpus: {corpus} is not there")
    case = os.path.join(work_dir, "st_stdperiph")
    if not os.path.exists(case):
        shutil.copytree(corpus, case)
        for folder, _, files in os.walk(case):
            os.chmod(folder, 0o755)
    project = os.path.join(case, "Project", "STM32F4xx_StdPeriph_Templates", "MDK-ARM",
                           "Project.uvproj")
    roots = pack_roots(work_dir, args.packs)

    def run_env(label):
        return dict(env, XDG_CACHE_HOME=os.path.join(work_dir, "cache-" + label))

    def command(cli_path, label):
        return [cli_path, "--pack-root", roots[label], project]

    def first_and_second(label, measure):
        shutil.rmtree(run_env(label)["XDG_CACHE_HOME"], ignore_errors=True)
        return (measure(command(cli, label), run_env(label)),
                measure(command(cli, label), run_env(label)))

    times = {}
    for label in roots:  # one unmeasured pass fills the page cache
        first_and_second(label, timed)
    for r in range(args.rounds):
        print(f"round {r + 1}/{args.rounds}", file=sys.stderr)
        for label in (list(roots) if r % 2 == 0 else list(reversed(roots))):
            first, second = first_and_second(label, timed)
            times.setdefault((label, "first"), []).append(first)
            times.setdefault((label, "second"), []).append(second)
            if baseline:
                times.setdefault((label, "baseline"), []).append(
                    timed(command(baseline, label), run_env(label)))
    peaks = {label: first_and_second(label, peak_kib) for label in roots}
    if baseline:
        for label in roots:
            peaks[label] += (peak_kib(command(baseline, label), run_env(label)),)

    median = {key: statistics.median(values) for key, values in times.items()}
    small = median[("small", "second")]
    print(f"\nMedians of {args.rounds} interleaved rounds; {platform.machine()}, "
          f"{os.cpu_count()} CPUs. Ratio: time / second conversion with the small root.\n")
    print("| pack root | descriptions | size | conversion | time | ratio | peak memory |")
    print("|---|---:|---:|---|---:|---:|---:|")
    runs = (("first", "first (index built)"), ("second", "second (index current)"))
    if baseline:
        runs += (("baseline", "baseline"),)
    for label, root in roots.items():
        count = 9 if label == "small" else args.packs
        for i, (run, name) in enumerate(runs):
            t = median[(label, run)]
            print(f"| {label} | {count} | {pdsc_size(root) / 1e6:.1f} MB | {name} "
                  f"| {t * 1000:.0f} ms | {t / small:.2f} | {peaks[label][i] / 1024:.1f} MB |")
    if args.keep:
        print(f"\nkept in {work_dir}", file=sys.stderr)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--scales", default="1,8", help="sizes to measure, 1 first")
    parser.add_argument("--build-dir", default=os.path.join(ROOT, "build-bench"))
    parser.add_argument("--cli", help="time this corvane-cli instead of building one")
    parser.add_argument("--baseline", help="also time this corvane-cli, in the same rounds")
    parser.add_argument("--work-dir", help="where to generate (default: a temporary directory); "
                        "projects already there are reused")
    parser.add_argument("--keep", action="store_true", help="keep the generated projects")
    parser.add_argument("--long-values", type=int, nargs="?", const=5000, metavar="N",
                        help="measure the long-value project, on two cores and on one")
    parser.add_argument("--packs", type=int, nargs="?", const=159, metavar="N",
                        help="measure a pack root of N descriptions instead (default 159)")
    args = parser.parse_args()
    scales = [int(s) for s in args.scales.split(",")]

    subprocess.run([os.path.join(ROOT, "tools", "deps"), "build", "bench"], check=True)
    cli = os.path.abspath(args.cli) if args.cli else build(os.path.abspath(args.build_dir))
    baseline = os.path.abspath(args.baseline) if args.baseline else None
    tools = ("corvane", "grep") + (("baseline",) if baseline else ())
    work_dir = args.work_dir or tempfile.mkdtemp(prefix="corvane-bench-")
    env = dict(os.environ, SOURCE_DATE_EPOCH="0", LC_ALL="C.UTF-8")
    if args.packs:
        try:
            bench_packs(args, cli, baseline, work_dir, env)
        finally:
            if not args.keep and not args.work_dir:
                shutil.rmtree(work_dir, ignore_errors=True)
        return
    try:
        projects = {}
        if args.long_values:
            # The same project, on two cores and pinned to one.
            scales = [1, 0]
            project = generate(work_dir, 1, args.long_values)
            projects = {1: project, 0: project}
        for scale in scales:
            if args.long_values:
                break
            print(f"generating {scale}x ...", file=sys.stderr)
            projects[scale] = generate(work_dir, scale)

        times = {(scale, tool): [] for scale in scales for tool in tools}
        # One unmeasured pass fills the page cache and writes the .pro files once.
        for scale in scales:
            for command in commands(cli, projects[scale], baseline, scale == 0).values():
                timed(command, env)
        for r in range(args.rounds):
            print(f"round {r + 1}/{args.rounds}", file=sys.stderr)
            for scale in scales:
                runs = list(commands(cli, projects[scale], baseline, scale == 0).items())
                if r % 2:
                    runs.reverse()
                for tool, command in runs:
                    times[(scale, tool)].append(timed(command, env))
        peaks = {(scale, tool): peak_kib(command, env)
                 for scale in scales
                 for tool, command in commands(cli, projects[scale], baseline, scale == 0).items()}

        median = {key: statistics.median(values) for key, values in times.items()}
        base = scales[0]
        print(f"\nMedians of {args.rounds} interleaved rounds; {platform.machine()}, "
              f"{os.cpu_count()} CPUs. Scaling: time at this size / time at {base}x.\n")
        print("| input | size | corvane-cli | grep scan | ratio | corvane scaling "
              "| grep scaling | peak memory corvane | peak memory grep |")
        print("|---|---:|---:|---:|---:|---:|---:|---:|---:|")
        for scale in scales:
            size = os.path.getsize(projects[scale]) / 1e6
            g = median[(scale, "grep")]
            g_scale = g / median[(base, "grep")]
            for tool in tools[:1] + tools[2:]:
                c = median[(scale, tool)]
                c_scale = c / median[(base, tool)]
                label = (f"{scale}x" if not args.long_values else
                         "long values" + (", one core" if scale == 0 else "")) + \
                    (", baseline" if tool == "baseline" else "")
                print(f"| {label} | {size:.1f} MB | {c * 1000:.0f} ms | {g * 1000:.0f} ms "
                      f"| {c / g:.2f} | {c_scale:.2f} | {g_scale:.2f} "
                      f"| {peaks[(scale, tool)] / 1024:.1f} MB "
                      f"| {peaks[(scale, 'grep')] / 1024:.1f} MB |")
        if args.keep:
            print(f"\nprojects kept in {work_dir}", file=sys.stderr)
    finally:
        if not args.keep and not args.work_dir:
            shutil.rmtree(work_dir, ignore_errors=True)


if __name__ == "__main__":
    main()
