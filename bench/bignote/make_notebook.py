#!/usr/bin/env python3
# Fills a new notebook (made by `tarnwick-db init`) with NOTES ordinary notes
# of about 2 KB in ten categories and one note of MB megabytes titled
# "A large note" in the first category, each line of it numbered.
#   Usage: make_notebook.py PATH NOTES MB
import sqlite3
import sys

path, notes, mb = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
db = sqlite3.connect(path)
date = "2026-12-10T12:00:00"
db.executemany("insert into 类别 values (?)", [(f"类别{c}",) for c in range(10)])
words = ["会议", "travel", "notes", "今天", "计划", "the", "工作", "读书", "meeting", "生活"]
rows = []
for n in range(notes):
    body = " ".join(words[(n * 7 + i * 3) % 10] + f"{i}" for i in range(300))
    rows.append((f"类别{n % 10}", date, f"note {n:05d}", body))
db.executemany("insert into 笔记 values (?, ?, ?, ?)", rows)
line = "这是一条很长的笔记中的一行 the beginning of a very large note, line "
count = mb * 1024 * 1024 // (len(line.encode()) + 8)
large = "".join(f"{line}{i:07d}\n" for i in range(count))
db.execute("insert into 笔记 values (?, ?, ?, ?)", ("类别0", date, "A large note", large))
db.commit()
print(f"{notes} notes and one of {len(large.encode()) / 1e6:.0f} MB")
