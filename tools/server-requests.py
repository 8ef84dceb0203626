#!/usr/bin/env python3
"""Counts the requests each thread sends to the Wine server, from a log the server wrote with debug output on
(`wineserver -f -d1 2>LOG`, or a client started with WINEDEBUG=+server).

    tools/server-requests.py [--from BYTE] [--to BYTE] [--pid UNIXPID] [--marker TEXT] [--seconds S] [--tsv] LOG

A request is a line "TID: name( ... )"; the server's replies ("TID: name() = ...") and notes ("TID: *fd* ...")
are not counted. Only the requests between the byte offsets --from and --to count (the whole log by default);
the thread starts are looked up in the whole log. The main thread is the first thread of the Unix process --pid
(its init_first_thread), else the thread that sends set_window_region, else the busiest one.
Passes: how often the main thread sent a request that starts with TEXT, e.g. "get_message( flags=00000000" for
the PeekMessage(PM_NOREMOVE) of each main-loop pass. One PeekMessage may ask twice, with the X events it handles
in between (update_window_zorder): a marker counts as a new pass only when some other request came since the
last one counted (--same-pass names the requests that do not; a pass with no request but its PeekMessage is so
counted with the pass before, which errs on the dear side). --passes N gives the count instead.
--seconds also gives the requests per second and per 50 ms.
--tsv prints one line for scripts: "requests passes per_pass per_second per_50ms all_threads".
--by-pass splits the main thread's whole passes (from one marker to the next) into those that set the window's
shape (a set_window_region) and the others, with the requests a pass of each kind: what one frame costs.
"""
import argparse
import collections
import re
import sys

REQUEST = re.compile(rb"^([0-9a-f]{4,8}): ([a-z_0-9]+)\( ")
FIRST_THREAD = re.compile(rb"^([0-9a-f]{4,8}): init_first_thread\( unix_pid=(\d+),")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("log")
    parser.add_argument("--from", dest="start", type=int, default=0)
    parser.add_argument("--to", dest="end", type=int)
    parser.add_argument("--pid", type=int, help="Unix process id of the program; its first thread is the main one")
    parser.add_argument("--marker", help="the start of a request the main thread sends once a pass")
    parser.add_argument("--same-pass", default="update_window_zorder",
                        help="comma-separated requests that may come between two markers of one pass")
    parser.add_argument("--passes", type=int, help="the passes the stretch covers, when known")
    parser.add_argument("--seconds", type=float, help="the time the counted stretch of the log covers")
    parser.add_argument("--top", type=int, default=15, help="request kinds of the main thread to list")
    parser.add_argument("--tsv", action="store_true")
    parser.add_argument("--by-pass", action="store_true", help="passes that set the shape and the others apart")
    args = parser.parse_args()

    per_thread = collections.defaultdict(collections.Counter)
    first_threads = {}
    passes = 0
    marker = args.marker.encode() if args.marker else None
    marked = collections.Counter()
    same_pass = set(args.same_pass.split(",")) if args.same_pass else set()
    since_marker = collections.defaultdict(bool)  # per thread: a request of another kind came since the last pass
    current = collections.defaultdict(collections.Counter)  # per thread: the requests of the pass under way
    whole = collections.defaultdict(list)  # per thread: the requests of each pass seen from its start to its end
    offset = 0
    with open(args.log, "rb") as log:
        for line in log:
            here = offset
            offset += len(line)
            started = FIRST_THREAD.match(line)
            if started:
                first_threads[int(started.group(2))] = started.group(1)
            if here < args.start or (args.end is not None and here >= args.end):
                continue
            match = REQUEST.match(line)
            if not match:
                continue
            thread, name = match.group(1), match.group(2).decode()
            per_thread[thread][name] += 1
            if marker and line[len(thread) + 2:].startswith(marker):
                if since_marker[thread] or not marked[thread]:
                    if marked[thread]:
                        whole[thread].append(current[thread])
                    current[thread] = collections.Counter()
                    marked[thread] += 1
                since_marker[thread] = False
            elif name not in same_pass:
                since_marker[thread] = True
            current[thread][name] += 1

    if args.pid is not None and args.pid in first_threads:
        tid = first_threads[args.pid]
    else:
        shaping = [t for t, names in per_thread.items() if names["set_window_region"]]
        candidates = shaping or list(per_thread)
        tid = max(candidates, key=lambda t: sum(per_thread[t].values())) if candidates else None
    names = per_thread.get(tid, collections.Counter())
    total = sum(names.values())
    everyone = sum(sum(n.values()) for n in per_thread.values())
    passes = args.passes if args.passes is not None else (marked[tid] if tid else 0)
    per_pass = total / passes if passes else float("nan")
    per_second = total / args.seconds if args.seconds else float("nan")
    per_50ms = per_second / 20

    if args.tsv:
        print(f"{total} {passes} {per_pass:.2f} {per_second:.2f} {per_50ms:.2f} {everyone}")
        return
    print(f"threads: {len(per_thread)}, requests of all threads: {everyone}")
    for thread, thread_names in sorted(per_thread.items(), key=lambda item: -sum(item[1].values()))[:10]:
        mark = "  <- main" if thread == tid else ""
        print(f"  {thread.decode()}: {sum(thread_names.values())}{mark}")
    if tid is None:
        return
    print(f"main thread {tid.decode()}: {total} requests", end="")
    if marker or args.passes is not None:
        print(f", {passes} passes, {per_pass:.2f} a pass", end="")
    if args.seconds:
        print(f", {per_second:.1f} a second, {per_50ms:.2f} per 50 ms", end="")
    print()
    for name, n in names.most_common(args.top):
        share = f"{n / passes:.2f} a pass" if passes else ""
        print(f"  {n:7d}  {name:32s} {share}")
    if args.by_pass:
        shaped = [p for p in whole[tid] if p["set_window_region"]]
        kept = [p for p in whole[tid] if not p["set_window_region"]]
        for label, group in (("passes that set the shape", shaped), ("other passes", kept)):
            if not group:
                continue
            sums = collections.Counter()
            for requests in group:
                sums.update(requests)
            print(f"{label}: {len(group)}, {sum(sums.values()) / len(group):.1f} requests a pass")
            for name, n in sums.most_common(args.top):
                print(f"  {n / len(group):7.2f}  {name}")


if __name__ == "__main__":
    main()
