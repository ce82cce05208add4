"""Small helpers shared by the benchmark drivers (run_bench.py and
installer_bench.py)."""
import os
import shutil
import statistics
import subprocess
import sys
import zipfile

MiB = 1024 * 1024
GiB = 1024 * MiB


def log(message):
    print(f"bench: {message}", file=sys.stderr, flush=True)


def median(values):
    return statistics.median(values)


def clear(folder):
    shutil.rmtree(folder, ignore_errors=True)


def drop_dirty_pages():
    # Writeback of the previous round's output must not land in the next.
    subprocess.run(["sync"], check=False)


def archive_stats(path):
    """(files, unpacked bytes, archive bytes) of a zip archive."""
    with zipfile.ZipFile(path) as z:
        infos = [i for i in z.infolist() if not i.is_dir()]
    return len(infos), sum(i.file_size for i in infos), os.path.getsize(path)
