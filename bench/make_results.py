#!/usr/bin/env python3
"""Turns zelbench's JSON output into bench/RESULTS.md.

One row per workload and screen size: zelgfx's pixels per second, the best
peer that does the same work (Allegro 4 or SDL2) and the ratio to it, and the
ratio to memset/memcpy of the same byte count. Goals: at least 1.5x the
fastest peer; fills and opaque copies within 1.2x of the memset/memcpy time.
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
LIMIT_GOAL = 1.2   # zelgfx time at most this times memset/memcpy's (fills, opaque copies)

# Workloads in table order: what zelgfx does, and what each peer does for it.
WORKLOADS = [
    ("clrScreen", "clrScreen: the whole screen",
     {"allegro": "clear_to_color", "sdl": "SDL_FillRect"}),
    ("putBar_100x100_clipped", "putBar 100x100 over the bottom-right corner (60x70 visible)",
     {"allegro": "rectfill", "sdl": "SDL_FillRect"}),
    ("putLine_random", "putLine: 256 random lines (seeded)",
     {"allegro": "line"}),
    ("putImage_transparent_64", "putImage transparent: 64x64 sprite, half its pixels 0",
     {"allegro": "draw_sprite", "sdl": "SDL_BlitSurface, colour key 0"}),
    ("putImage_opaque_64", "putImage opaque: 64x64 sprite",
     {"allegro": "blit", "sdl": "SDL_BlitSurface"}),
    ("putImage_opaque_fullscreen", "putImage opaque: a full-screen picture",
     {"allegro": "blit", "sdl": "SDL_BlitSurface"}),
    ("bmpZoomImage_2x", "bmpZoomImage zoom 32768: 64x64 sprite to 128x128, transparent",
     {"allegro": "stretch_sprite", "sdl": "SDL_BlitScaled"}),
    ("bmpZoomImage_0.5x", "bmpZoomImage zoom 131072: 64x64 sprite to 32x32, transparent",
     {"allegro": "stretch_sprite", "sdl": "SDL_BlitScaled"}),
    ("bmpRotImage_30deg_1.5x", "bmpRotImage 30 degrees, zoom 43691 (1.5x): 96x96 pixels turned",
     {"allegro": "rotate_scaled_sprite"}),
    ("putPolyClockwise_hexagon150", "putPolyClockwise: regular hexagon 150 pixels across",
     {"allegro": "polygon"}),
    ("fillPolyGouraud_triangle", "Gouraud triangle: scanSideGouraud trace + fillPolyGouraud",
     {"allegro": "triangle3d POLYTYPE_GCOL"}),
    ("fillPolyGouraud_triangle_fillonly", "Gouraud triangle: fillPolyGouraud only (traced once)",
     {}),
    ("putShadedBar_fullscreen", "ZelVideo::putShadedBar over the whole screen",
     {"allegro": "rectfill in DRAW_MODE_TRANS with a color_map"}),
    ("putShadedImage_64", "ZelVideo::putShadedImage: 64x64 shade mask, half 0",
     {"allegro": "draw_trans_sprite with a color_map"}),
    ("bmpZoomImageShadeScale_64", "ZelVideo::bmpZoomImageShadeScale at 1:1 (s = 16): 64x64 sprite",
     {"allegro": "draw_lit_sprite with a color_map"}),
    ("ZelFont_put_40chars", "ZelFont::put: 40 characters, standard font",
     {"allegro": "textout_ex, Allegro's 8x8 font"}),
    ("bmpSideFill_fullscreen", "bmpSideFill: a wall over every column of the screen",
     {}),
    ("bmpFloorFill_fullscreen", "bmpFloorFill: a floor over every row of the screen",
     {}),
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


def load_runs(data):
    """{(impl, workload, size): run} with the fastest repetition's rate.

    Interference from other work only slows a repetition down, so the best of
    the repetitions is the steadiest figure; the median and the spread
    (coefficient of variation) of the repetitions come along for the record.
    """
    best, medians, cvs, errors = {}, {}, {}, {}
    for b in data.get("benchmarks", []):
        name = b.get("run_name") or b.get("name", "")
        m = re.fullmatch(r"([^/]+)/([^/]+)/(\d+x\d+)", name)
        if not m:
            continue
        key = m.groups()
        if b.get("error_occurred"):
            errors[key] = b.get("error_message", "error")
            continue
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                medians[key] = b.get("pixels/s")
            elif b.get("aggregate_name") == "cv":
                cvs[key] = b.get("pixels/s")
        elif b.get("pixels/s") is not None:
            if key not in best or b["pixels/s"] > best[key]["pixels/s"]:
                best[key] = b
    runs = {}
    for key in set(best) | set(medians):
        run = dict(best.get(key) or {"pixels/s": medians[key], "label": ""})
        run["median"] = medians.get(key)
        run["cv"] = cvs.get(key)
        runs[key] = run
    return runs, errors
def rate(run):
    return run.get("pixels/s") if run else None


def si(v):
    if v is None:
        return "—"
    for unit, scale in (("G", 1e9), ("M", 1e6), ("k", 1e3)):
        if v >= scale:
            return f"{v / scale:.3g} {unit}"
    return f"{v:.3g}"


def with_cv(v, run):
    """A rate with the spread of its repetitions (coefficient of variation)."""
    cv = (run or {}).get("cv")
    return si(v) + (f" ±{cv * 100:.0f}%" if cv is not None else "")


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
            zr = rate(z)
            best_peer, best_rate, best_run = None, None, None
            for peer in PEERS:
                r = runs.get((peer, workload, size))
                if not r or rate(r) is None:
                    continue
                label = r.get("label", "")
                if label.startswith("inexact"):
                    inexact_notes[(peer, workload)] = label.split(":", 1)[1].strip()
                    continue
                if best_rate is None or rate(r) > best_rate:
                    best_peer, best_rate, best_run = peer, rate(r), r
            limit = runs.get(("limit", workload, size))
            lr = rate(limit)
            limit_kind = (limit or {}).get("label", "")

            peer_ratio = zr / best_rate if zr and best_rate else None
            time_ratio = lr / zr if zr and lr else None
            goals = []
            if peer_ratio is not None:
                ok = peer_ratio >= PEER_GOAL
                goals.append(("peer", ok))
            if kind in ("fill", "copy") and time_ratio is not None:
                ok = time_ratio <= LIMIT_GOAL
                goals.append(("limit", ok))

            row = {
                "workload": workload, "size": size, "kind": kind, "zelgfx": zr, "zelgfx_run": z,
                "peer_run": best_run,
                "error": errors.get(("zelgfx", workload, size)),
                "peer": best_peer, "peer_rate": best_rate, "peer_ratio": peer_ratio,
                "limit": lr, "limit_kind": limit_kind, "time_ratio": time_ratio,
                "goals": dict(goals),
            }
            rows.append(row)
            for goal, ok in goals:
                (met if ok else misses).append((row, goal))

    out = []
    out.append("# zelbench results\n")
    if args.note:
        out.append(f"> **{args.note.strip()}**\n")
    out.append("Pixels per second of each workload, zelgfx beside the fastest peer that does the same "
               "work on an 8-bit memory bitmap (Allegro 4, SDL2) and beside memset/memcpy of the same "
               f"byte count. Goals: zelgfx at least **{PEER_GOAL}x** the fastest peer; fills and opaque "
               f"copies within **{LIMIT_GOAL}x** of the memset/memcpy time. "
               "Kind: `fill` and `copy` workloads carry the memset/memcpy goal, `other` ones show the "
               "limit for reference only. "
               "✓ goal met, ✗ goal missed, — no equivalent. The reason for a miss goes into "
               "`bench/reasons.json`, keyed `workload`, `workload/WxH`, `workload:peer` or "
               "`workload/WxH:limit`, from where every run carries it into this file.\n")

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
        out.append("- Load average at the start: " + ", ".join(f"{v:.2f}" for v in ctx["load_avg"]))
    peers = [f"Allegro 4: {ctx.get('zelbench_allegro', '?')}", f"SDL2: {ctx.get('zelbench_sdl', '?')}"]
    out.append("- Peers: " + "; ".join(peers))
    if args.command:
        out.append(f"- Command: `{args.command}`")
    rep = next((b.get("repetitions") for b in data.get("benchmarks", []) if b.get("repetitions")), None)
    out.append("- Rates use CPU time" + (f"; each is the fastest of {rep} repetitions run in random order "
                                          "(interference only slows a repetition down), ± the coefficient "
                                          "of variation of the repetitions" if rep and rep > 1 else "")
               + f"; Google Benchmark library built as {ctx.get('library_build_type', '?')} "
               "(its timing loop is inlined into zelbench, built as above).\n")

    out.append("## Results\n")
    out.append("| workload | screen | kind | zelgfx px/s | fastest peer px/s | zelgfx ÷ peer "
               f"(≥ {PEER_GOAL}) | limit px/s | zelgfx time ÷ limit time (≤ {LIMIT_GOAL}) | reason |")
    out.append("|---|---|---|---:|---:|---:|---:|---:|---|")
    for r in rows:
        if r["error"]:
            out.append(f"| {r['workload']} | {r['size']} | {r['kind']} | error: {r['error']} | | | | | |")
            continue
        peer = f"{with_cv(r['peer_rate'], r['peer_run'])} ({PEER_NAMES[r['peer']]})" if r["peer"] else "—"
        if r["peer_ratio"] is None:
            pr = "—"
        else:
            pr = f"{r['peer_ratio']:.2f}x " + ("✓" if r["goals"]["peer"] else "✗")
        limit = f"{si(r['limit'])} ({r['limit_kind']})" if r["limit"] else "—"
        if r["time_ratio"] is None:
            tr = "—"
        elif "limit" in r["goals"]:
            tr = f"{r['time_ratio']:.2f}x " + ("✓" if r["goals"]["limit"] else "✗")
        else:
            tr = f"{r['time_ratio']:.2f}x (no goal)"
        missed = [g for g, ok in r["goals"].items() if not ok]
        texts = []
        for goal in missed:
            text = reason_for(reasons, r["workload"], r["size"], goal) or f"_{goal} reason: …_"
            if text not in texts:
                texts.append(text)
        reason = " ".join(texts)
        out.append(f"| {r['workload']} | {r['size']} | {r['kind']} | {with_cv(r['zelgfx'], r['zelgfx_run'])} | "
                   f"{peer} | {pr} | "
                   f"{limit} | {tr} | {reason} |")
    out.append("")

    out.append("## Goals\n")
    out.append(f"{len(met)} goals met, {len(misses)} missed.\n")
    if misses:
        out.append("Missed, with the factor zelgfx still needs:\n")
        for r, goal in misses:
            if goal == "peer":
                need = PEER_GOAL / r["peer_ratio"]
                what = (f"{r['peer_ratio']:.2f}x {PEER_NAMES[r['peer']]}, needs {need:.2f}x faster "
                        f"to reach {PEER_GOAL}x")
            else:
                need = r["time_ratio"] / LIMIT_GOAL
                what = (f"{r['time_ratio']:.2f}x the {r['limit_kind']} time, needs {need:.2f}x faster "
                        f"to reach {LIMIT_GOAL}x")
            reason = reason_for(reasons, r["workload"], r["size"], goal) or "_reason: …_"
            out.append(f"- {r['workload']} {r['size']}: {what}. {reason}")
        out.append("")

    out.append("## Workloads and their equivalents\n")
    out.append("Every implementation draws the same bytes (sprites, textures and geometry are made by "
               "code from a fixed seed) and counts the same pixels per call, so a ratio of rates is a "
               "ratio of times; text is the exception, counted as each font's own text box. "
               "The `touched` counter in the JSON shows how many screen bytes each one changed. "
               "The limit is one memset (workloads that only write) or memcpy (those that read a source) "
               "of the pixel count, as a single call into a screen-sized buffer.\n")
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
               "traces its edges; the fill alone is shown for reference. `bmpSideFill` takes as many calls "
               "as the span buffer (768 entries) needs to cover every column. The shade workloads use "
               "the standard dark table; Allegro's colour map holds the same table.\n")

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
