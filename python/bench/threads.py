#!/usr/bin/env python3
"""Measures what releasing the interpreter lock buys: the wall time of one
thread converting two large documents one after the other, against two threads
converting one each at the same time. Each conversion reads a product-dialect
OTIO document, asks its duration and output bounds, writes it as standard
OTIO, reads that back and writes the product dialect again: the steps that run
without the interpreter lock. (Building the timeline view's Python objects
needs the lock, and is left out.)

    PYTHONPATH=build/python python3 python/bench/threads.py [--clips N] [--repeat N]

Prints the median of the repeats for each way (after one untimed round of
each) and their ratio. The module pads
glibc's heap tops (64 MiB, unless MALLOC_TOP_PAD_ is set): MALLOC_TOP_PAD_=0
shows what the threads do without it.
"""

import argparse
import copy
import json
import statistics
import threading
import time
from pathlib import Path

import zemcomposition as zc

EXAMPLES = Path(__file__).resolve().parent.parent.parent / "examples"


def large_document(clips_per_track, seed_name):
    """The example with each track's items repeated to about `clips_per_track`."""
    document = json.loads((EXAMPLES / seed_name).read_text())
    timeline = document.get("timeline", document)
    for track in timeline["tracks"]["children"]:
        repeated = []
        while len(repeated) < clips_per_track:
            for item in track["children"]:
                item = copy.deepcopy(item)
                item["name"] = f"{item['name']}_{len(repeated):05d}"
                repeated.append(item)
        track["children"] = repeated
    return json.dumps(document)


def convert(text):
    cut = zc.Composition.from_json(text)
    cut.output_bounds(cut.start_time.frames)
    cut.duration
    standard = cut.to_json("otio-std")
    return zc.Composition.from_json(standard).to_json("otio")


def one_thread(documents):
    start = time.perf_counter()
    for text in documents:
        convert(text)
    return time.perf_counter() - start


def two_threads(documents):
    threads = [threading.Thread(target=convert, args=(text,)) for text in documents]
    start = time.perf_counter()
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--clips", type=int, default=3000, help="items per track (default 3000)")
    parser.add_argument("--repeat", type=int, default=5, help="samples of each way (default 5)")
    options = parser.parse_args()

    # Two documents of the same size, so that the two threads have equal work.
    documents = [large_document(options.clips, "short-cut.otio.json") for _ in range(2)]
    print(f"two documents of {len(documents[0]) / 1e6:.1f} MB; {options.repeat} samples of each way")
    # One untimed round of each way first: the first conversions on a thread
    # fault in the memory its heap will reuse.
    one_thread(documents)
    two_threads(documents)
    alone, together = [], []
    for _ in range(options.repeat):
        alone.append(one_thread(documents))
        together.append(two_threads(documents))
    alone_median, together_median = statistics.median(alone), statistics.median(together)
    print(f"one thread, both documents:   {alone_median * 1000:8.1f} ms")
    print(f"two threads, one document each: {together_median * 1000:6.1f} ms")
    print(f"two threads take {together_median / alone_median:.2f} of one thread's time")


if __name__ == "__main__":
    main()
