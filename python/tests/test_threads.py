"""Threads convert compositions at once, each its own, and get what one thread
alone gets; threads sharing one composition take turns. (How much faster two
threads are is measured by python/bench/threads.py, not here.)"""

import threading

import zemcomposition as zc
from conftest import large_document


def convert(text):
    """What a conform script does with a document: read, query, write both ways."""
    cut = zc.Composition.from_json(text)
    standard = cut.to_json("otio-std")
    again = zc.Composition.from_json(standard)
    return (
        cut.duration,
        len(cut.timeline.clips),
        cut.to_json("dmtree"),
        standard,
        again.to_json("otio"),
    )


def run_in_threads(work, count):
    results = [None] * count
    errors = []

    def each(index):
        try:
            results[index] = work(index)
        except BaseException as error:  # reported below, not lost in the thread
            errors.append(error)

    threads = [threading.Thread(target=each, args=(i,)) for i in range(count)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert not errors, errors
    return results


def test_two_threads_convert_large_documents_as_one_does():
    documents = [large_document(300), large_document(450, "review-notes.otio.json")]
    alone = [convert(text) for text in documents]
    assert alone[0][1] > 500  # clips, over all tracks
    together = run_in_threads(lambda i: [convert(documents[i % 2]) for _ in range(2)], 4)
    for index, results in enumerate(together):
        assert results == [alone[index % 2]] * 2


def test_threads_sharing_one_composition_take_turns():
    shared = zc.Composition.from_json(large_document(400))
    expected = (shared.to_json("otio-std"), shared.duration, shared.timeline)
    cuts = zc.CompositionList()

    def work(_):
        for _ in range(3):
            cuts.append(shared)
            assert (shared.to_json("otio-std"), shared.duration, shared.timeline) == expected
            assert shared.clone().to_json("otio-std") == expected[0]
        return True

    assert run_in_threads(work, 3) == [True] * 3
    assert len(cuts) == 9 and all(cut is shared for cut in cuts)
