#!/usr/bin/env python3
"""Turns zelbench's JSON output into bench/RESULTS.md.

One row per workload and screen size: zelgfx's time per call (CPU and wall
clock, the minimum and the median of the repetitions), the fastest peer call
that draws the same picture (Allegro 4 or SDL2, any of their variants, named
"<peer>.<call>" in the benchmark names) and the ratio of the times, and the
full-screen clear and copy beside memset/memcpy of the same byte count.
Goals: at least 1.5x the fastest peer (median CPU time per call); the clear
and the full-screen copy within 1.05x of the memset/memcpy time.
A missed goal is marked and gets a place for its reason; reasons written
into bench/reasons.json are carried into the table on every run. Keys, most
specific first: "workload/WxH:goal", "workload:goal", "workload/WxH",
"workload", where goal is "peer" or "limit".

Standard library only.
"""

import argparse
import json
import os
import platform
import re
import subprocess
import sys
from collections import defaultdict

PEER_GOAL = 1.5    # zelgfx pixels/s at least this times the fastest peer's
LIMIT_GOAL = 1.05  # zelgfx time at most this times memset/memcpy's (the full-screen clear and copy)

# Workloads in table order: what zelgfx does, and what each peer does for it
# (every variant is measured; the fastest one is compared).
WORKLOADS = [
    ("clrScreen", "clrScreen: the whole screen",
     {"allegro": "clear_to_color", "sdl": "SDL_FillRect"}),
    ("putImage_opaque_fullscreen", "putImage opaque: a full-screen picture",
     {"allegro": "blit", "sdl": "SDL_BlitSurface"}),
    ("putBar_varied", "putBar: 64 bars of 16 to 128 a side over the screen",
     {"allegro": "rectfill", "sdl": "SDL_FillRect"}),
    ("putLine_random", "putLine: 256 random lines",
     {"allegro": "line"}),
    ("putImage_transparent_varied", "putImage transparent: 64 sprites of 16 to 128 a side, about half 0",
     {"allegro": "draw_sprite; draw_rle_sprite (`allegro.rle`; compiled sprites are RLE sprites on x86-64)",
      "sdl": "SDL_BlitSurface with colour key 0; the same RLE-encoded (`sdl.rle`, SDL_SetSurfaceRLE)"}),
    ("putImage_opaque_varied", "putImage opaque: the same 64 sprites",
     {"allegro": "blit", "sdl": "SDL_BlitSurface"}),
    ("bmpZoomImage_2x_varied", "bmpZoomImage zoom 32768: 64 sprites of 16 to 64 drawn twice as large, transparent",
     {"allegro": "stretch_sprite", "sdl": "SDL_BlitScaled"}),
    ("bmpZoomImage_0.5x_varied", "bmpZoomImage zoom 131072: 64 sprites of 64 to 128 drawn half as large, transparent",
     {"allegro": "stretch_sprite", "sdl": "SDL_BlitScaled"}),
    ("bmpRotImage_varied", "bmpRotImage: 64 sprites at any angle, scale 0.75 to 1.5",
     {"allegro": "rotate_scaled_sprite"}),
    ("putPolyClockwise_hexagon_varied", "putPolyClockwise: 64 turned hexagons 20 to 128 across",
     {"allegro": "polygon; polygon3d_f POLYTYPE_FLAT (`allegro.polygon3d_f`)"}),
    ("fillPolyGouraud_triangle_varied",
     "Gouraud: 64 triangles with rows up to 20 to 120 wide, ramps of 16 to 64 shades (scanSideGouraud x3 + fillPolyGouraud)",
     {"allegro": "triangle3d POLYTYPE_GCOL; triangle3d_f (`allegro.triangle3d_f`)"}),
    ("putShadedBar_varied", "ZelVideo::putShadedBar: the 64 bars, shade values 1 to 40",
     {"allegro": "rectfill in DRAW_MODE_TRANS with a color_map"}),
    ("putShadedImage_varied", "ZelVideo::putShadedImage: the 64 sprites' shade masks",
     {"allegro": "draw_trans_sprite; draw_trans_rle_sprite (`allegro.rle`)"}),
    ("bmpZoomImageShadeScale_varied", "ZelVideo::bmpZoomImageShadeScale at 1:1 (s = 16): the 64 sprites, shade values 1 to 40",
     {"allegro": "draw_lit_sprite; draw_lit_rle_sprite (`allegro.rle`)"}),
    ("ZelFont_put_40chars_varied", "ZelFont::put: 40 characters, standard font, 64 places",
     {"allegro": "textout_ex, Allegro's 8x8 font"}),
    ("bmpSideFill_varied", "bmpSideFill: 64 walls of 64 to 256 columns, 32 to 128 rows, turned",
     {"allegro": "polygon3d_f POLYTYPE_PTEX: the same rectangles, perspective-textured"}),
    ("bmpFloorFill_varied", "bmpFloorFill: 64 floors of 64 to 256 columns, 24 to 96 rows, turned",
     {"allegro": "polygon3d_f POLYTYPE_PTEX: the same rectangles, perspective-textured"}),
]

PEERS = ("allegro", "sdl")
PEER_NAMES = {"allegro": "Allegro 4", "sdl": "SDL2"}


def parse_args():
    here = os.path.dirname(os.path.abspath(__file__))
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("json", help="zelbench output (--benchmark_format=json)")
    p.add_argument("-o", "--output", default=os.path.join(here, "RESULTS.md"))
    p.add_argument("--reasons", default=os.path.join(here, "reasons.json"))
    p.add_argument("--build-dir", help="build tree of the run, for the compiler and build type")
    p.add_argument("--note", default="", help="a paragraph put at the top (e.g. the machine was busy)")
    p.add_argument("--command", default="", help="the command line of the run, for the record")
    return p.parse_args()


UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def median(values):
    v = sorted(values)
    n = len(v)
    return None if n == 0 else (v[n // 2] if n % 2 else (v[n // 2 - 1] + v[n // 2]) / 2)


def load_runs(data):
    """{(impl, workload, size): run}: every repetition's CPU and wall time
    per call in ns, their minimum and median, and the label.

    Interference from other work only slows a repetition down, so the
    minimum is the steadiest figure on a busy machine; the median is the
    typical one. Both are kept for CPU and wall-clock time.
    """
    reps, labels, errors = defaultdict(list), {}, {}
    for b in data.get("benchmarks", []):
        name = b.get("run_name") or b.get("name", "")
        m = re.fullmatch(r"([^/]+)/([^/]+)/(\d+x\d+)", name)
        if not m:
            continue
        key = m.groups()
        if b.get("error_occurred"):
            errors[key] = b.get("error_message", "error")
            continue
        if b.get("run_type") == "aggregate" or b.get("real_time") is None:
            continue
        scale = UNIT_NS.get(b.get("time_unit", "ns"), 1.0)
        calls = b.get("calls") or 1
        reps[key].append((b["cpu_time"] * scale / calls, b["real_time"] * scale / calls))
        labels[key] = b.get("label", "")
    runs = {}
    for key, r in reps.items():
        cpu, wall = [c for c, _ in r], [w for _, w in r]
        runs[key] = {"cpu_min": min(cpu), "cpu_med": median(cpu), "wall_min": min(wall), "wall_med": median(wall),
                     "reps": len(r), "label": labels[key]}
    return runs, errors


def rate(run):
    """The time per call the goals are judged on: the median CPU time."""
    return run.get("cpu_med") if run else None


def ns(v):
    if v is None:
        return "—"
    for unit, scale in (("ms", 1e6), ("µs", 1e3)):
        if v >= scale:
            return f"{v / scale:.3g} {unit}"
    return f"{v:.3g} ns"


def times(run):
    """CPU min / median, then wall min / median."""
    if not run:
        return "—"
    return f"{ns(run['cpu_min'])} / {ns(run['cpu_med'])}; wall {ns(run['wall_min'])} / {ns(run['wall_med'])}"


def size_key(size):
    w, h = size.split("x")
    return int(w) * int(h)


def cpu_model():
    try:
        with open("/proc/cpuinfo", encoding="utf-8") as f:
            for line in f:
                if line.lower().startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown"


def physical_cores():
    try:
        cores = set()
        phys = core = None
        with open("/proc/cpuinfo", encoding="utf-8") as f:
            for line in f:
                if line.startswith("physical id"):
                    phys = line.split(":", 1)[1].strip()
                elif line.startswith("core id"):
                    core = line.split(":", 1)[1].strip()
                elif not line.strip():
                    if core is not None:
                        cores.add((phys, core))
                    phys = core = None
        return len(cores) or None
    except OSError:
        return None


def cmake_cache(build_dir):
    values = {}
    if not build_dir:
        return values
    try:
        with open(os.path.join(build_dir, "CMakeCache.txt"), encoding="utf-8") as f:
            for line in f:
                m = re.match(r"([A-Za-z_0-9]+):[A-Z]+=(.*)", line.strip())
                if m:
                    values[m.group(1)] = m.group(2)
    except OSError:
        pass
    return values


def compiler_text(cache):
    cxx = cache.get("CMAKE_CXX_COMPILER") or "c++"
    try:
        out = subprocess.run([cxx, "--version"], capture_output=True, text=True, check=False, timeout=20)
        first = out.stdout.splitlines()[0] if out.stdout else cxx
    except (OSError, subprocess.SubprocessError):
        first = cxx
    flags = cache.get("CMAKE_CXX_FLAGS_" + cache.get("CMAKE_BUILD_TYPE", "").upper(), "")
    build = cache.get("CMAKE_BUILD_TYPE", "")
    return f"{first}" + (f", {build} ({flags.strip()})" if build else "")


def load_reasons(path):
    try:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
        return {str(k): str(v) for k, v in data.items()} if isinstance(data, dict) else {}
    except (OSError, ValueError):
        return {}


def reason_for(reasons, workload, size, goal):
    """The most specific of "workload/WxH:goal", "workload:goal", "workload/WxH", "workload"."""
    for key in (f"{workload}/{size}:{goal}", f"{workload}:{goal}", f"{workload}/{size}", workload):
        if key in reasons:
            return reasons[key]
    return None


def main():
    args = parse_args()
    with open(args.json, encoding="utf-8") as f:
        data = json.load(f)
    ctx = data.get("context", {})
    runs, errors = load_runs(data)
    reasons = load_reasons(args.reasons)
    cache = cmake_cache(args.build_dir)

    sizes = sorted({k[2] for k in runs} | {k[2] for k in errors}, key=size_key)
    known = [w for w, _, _ in WORKLOADS]
    extra = sorted({k[1] for k in runs if k[0] == "zelgfx" and k[1] not in known})
    workloads = WORKLOADS + [(w, w, {}) for w in extra]

    rows, misses, met = [], [], []
    inexact_notes = {}
    for workload, _, _ in workloads:
        for size in sizes:
            z = runs.get(("zelgfx", workload, size))
            if not z and ("zelgfx", workload, size) not in errors:
                continue
            kind = (z or {}).get("label", "other")
            best_peer, best_run = None, None
            for (impl, w, sz), r in runs.items():
                if w != workload or sz != size or impl.split(".")[0] not in PEERS:
                    continue
                if r.get("label", "").startswith("inexact"):
                    inexact_notes[(impl.split(".")[0], workload)] = r["label"].split(":", 1)[1].strip()
                    continue
                if best_run is None or rate(r) < rate(best_run):
                    best_peer, best_run = impl, r
            limit = runs.get(("limit", workload, size))

            peer_ratio = rate(best_run) / rate(z) if z and best_run else None
            peer_ratio_min = best_run["cpu_min"] / z["cpu_min"] if z and best_run else None
            time_ratio = rate(z) / rate(limit) if z and limit else None
            goals = []
            if peer_ratio is not None:
                goals.append(("peer", peer_ratio >= PEER_GOAL))
            if kind in ("fill", "copy") and time_ratio is not None:
                goals.append(("limit", time_ratio <= LIMIT_GOAL))
            row = {"workload": workload, "size": size, "kind": kind, "z": z, "peer": best_peer, "peer_run": best_run,
                   "error": errors.get(("zelgfx", workload, size)), "peer_ratio": peer_ratio,
                   "peer_ratio_min": peer_ratio_min, "limit": limit, "time_ratio": time_ratio, "goals": dict(goals)}
            rows.append(row)
            for goal, ok in goals:
                (met if ok else misses).append((row, goal))

    out = []
    out.append("# zelbench results\n")
    if args.note:
        out.append(f"> **{args.note.strip()}**\n")
    out.append("Time per call of each workload as a game draws it: every benchmark iteration draws a batch of "
               "calls (64 sprites, bars, polygons, ... or 256 lines) at positions, sizes, angles and shades that "
               "vary from call to call over the screen, taken from one seeded sequence that every library in the "
               "run draws (bench/common.cpp). zelgfx is compared with the fastest peer call that draws the same "
               "picture on an 8-bit memory bitmap (Allegro 4, SDL2, including their RLE sprites and Allegro's float "
               f"polygon renderer). Goals: zelgfx at least **{PEER_GOAL}x** as fast as the fastest peer call "
               f"(ratio of the median CPU times; the ratio of the minimum CPU times is shown beside it); the "
               f"full-screen clear and copy within **{LIMIT_GOAL}x** of memset/memcpy of the same bytes. "
               "Times are CPU min / median; wall min / median over the repetitions. "
               "✓ goal met, ✗ goal missed, — no equivalent. The reason for a miss comes from "
               "`bench/reasons.json`, keyed `workload`, `workload/WxH`, `workload:peer` or "
               "`workload/WxH:limit`.\n")

    out.append("## Machine\n")
    cores = physical_cores()
    ncpu = ctx.get("num_cpus") or os.cpu_count()
    out.append(f"- CPU: {cpu_model()}, {ncpu} logical CPUs"
               + (f" ({cores} cores)" if cores else "") + f", {ctx.get('mhz_per_cpu', '?')} MHz")
    caches = ", ".join(f"L{c['level']} {c['type'].lower()} {c['size'] // 1024} KiB"
                       for c in ctx.get("caches", []))
    if caches:
        out.append(f"- Caches: {caches}")
    out.append(f"- Compiler: {compiler_text(cache)}")
    out.append(f"- System: {platform.system()} {platform.release()}, Python {platform.python_version()}")
    out.append(f"- Date: {ctx.get('date', '?')}")
    if ctx.get("load_avg"):
        out.append("- Load average (1, 5, 15 min) at the start of the run: "
                   + ", ".join(f"{v:.2f}" for v in ctx["load_avg"]))
    try:
        out.append("- Load average when this file was written (the end of the run, when run_benchmarks.sh writes it): " + ", ".join(f"{v:.2f}" for v in os.getloadavg()))
    except OSError:
        pass
    peers = [f"Allegro 4: {ctx.get('zelbench_allegro', '?')}", f"SDL2: {ctx.get('zelbench_sdl', '?')}"]
    out.append("- Peers: " + "; ".join(peers))
    if args.command:
        out.append(f"- Command: `{args.command}`")
    rep = max((r["reps"] for r in runs.values()), default=0)
    out.append(f"- Repetitions: {rep}, run in random order so that a change of load spreads over every "
               f"implementation; Google Benchmark library built as {ctx.get('library_build_type', '?')} "
               "(its timing loop is inlined into zelbench, built as above).\n")

    out.append("## Results\n")
    out.append(f"| workload | screen | zelgfx per call | fastest peer call | per call | zelgfx speed-up, "
               f"median (min) (≥ {PEER_GOAL}) | limit per call | zelgfx ÷ limit (≤ {LIMIT_GOAL}) | reason |")
    out.append("|---|---|---|---|---|---:|---|---:|---|")
    for r in rows:
        if r["error"]:
            out.append(f"| {r['workload']} | {r['size']} | error: {r['error']} | | | | | | |")
            continue
        if r["peer_ratio"] is None:
            pr = "—"
        else:
            pr = f"{r['peer_ratio']:.2f}x ({r['peer_ratio_min']:.2f}x) " + ("✓" if r["goals"]["peer"] else "✗")
        if r["time_ratio"] is None:
            tr = "—"
        elif "limit" in r["goals"]:
            tr = f"{r['time_ratio']:.2f}x " + ("✓" if r["goals"]["limit"] else "✗")
        else:
            tr = f"{r['time_ratio']:.2f}x (no goal)"
        texts = []
        for goal in [g for g, ok in r["goals"].items() if not ok]:
            text = reason_for(reasons, r["workload"], r["size"], goal) or f"_{goal} reason: …_"
            if text not in texts:
                texts.append(text)
        limit = f"{times(r['limit'])} ({r['limit']['label']})" if r["limit"] else "—"
        out.append(f"| {r['workload']} | {r['size']} | {times(r['z'])} | {r['peer'] or '—'} | "
                   f"{times(r['peer_run'])} | {pr} | {limit} | {tr} | {' '.join(texts)} |")
    out.append("")

    out.append("## Goals\n")
    out.append(f"{len(met)} goals met, {len(misses)} missed.\n")
    if misses:
        out.append("Missed, with the factor zelgfx still needs:\n")
        for r, goal in misses:
            if goal == "peer":
                need = PEER_GOAL / r["peer_ratio"]
                what = f"{r['peer_ratio']:.2f}x {r['peer']}, needs {need:.2f}x faster to reach {PEER_GOAL}x"
            else:
                need = r["time_ratio"] / LIMIT_GOAL
                what = (f"{r['time_ratio']:.2f}x the {r['limit']['label']} time, needs {need:.2f}x faster "
                        f"to reach {LIMIT_GOAL}x")
            reason = reason_for(reasons, r["workload"], r["size"], goal) or "_reason: …_"
            out.append(f"- {r['workload']} {r['size']}: {what}. {reason}")
        out.append("")

    out.append("## Workloads and their equivalents\n")
    out.append("Every implementation draws the same calls on the same bytes (sprites, textures, geometry and "
               "the call sequences are made by code from one fixed seed), so a ratio of times per call is a "
               "ratio of speeds; the `touched` counter in the JSON shows how many screen bytes each one changed. "
               "Text differs: each library draws its own font. The limit is one memset or memcpy of the bytes "
               "of a whole batch, shown for reference; only the full-screen clear and copy are held to it.\n")
    out.append("| workload | zelgfx | Allegro 4 | SDL2 |")
    out.append("|---|---|---|---|")
    for workload, text, peers in workloads:
        cells = []
        for peer in PEERS:
            cell = peers.get(peer, "—")
            if (peer, workload) in inexact_notes:
                cell = f"{inexact_notes[(peer, workload)]}: not an equivalent, not compared"
            cells.append(cell)
        out.append(f"| {workload} | {text} | " + " | ".join(cells) + " |")
    out.append("")
    out.append("Measurement choices: the Gouraud triangle is timed as trace plus fill "
               "(`scanSideGouraud` three times, then `fillPolyGouraud`), as Allegro's `triangle3d` also "
               "traces its edges. The walls and floors fill their span buffers before each call. The shade "
               "workloads use the standard dark table; Allegro's colour map holds the same table.\n")

    if errors:
        out.append("## Errors\n")
        for (impl, workload, size), msg in sorted(errors.items()):
            out.append(f"- {impl}/{workload}/{size}: {msg}")
        out.append("")

    with open(args.output, "w", encoding="utf-8") as f:
        f.write("\n".join(out).rstrip("\n") + "\n")
    print(f"make_results: wrote {args.output}: {len(met)} goals met, {len(misses)} missed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
