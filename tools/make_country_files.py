#!/usr/bin/env python3
# Builds the shipped prefix table (data/arrlpre2.txt) and ADIF country-number table
# (data/ADIFCnt.txt) from the CSV form of the amateur-radio country file (cty.csv).
"""Usage: make_country_files.py [cty.csv] [output folder]

The CSV path defaults to ../shared/data/cty.csv and the output folder to data/, both
relative to the repository root.
"""

import csv
import re
import sys
from decimal import Decimal, InvalidOperation
from pathlib import Path

REPO_ROOT = Path(__file__).resolve().parent.parent
DEFAULT_CSV = REPO_ROOT.parent / "shared" / "data" / "cty.csv"
DEFAULT_OUT = REPO_ROOT / "data"

# The logger stores these entity names differently from the country file.
RENAMED_ENTITIES = {"United States": "USA"}

# A prefix token: the prefix itself followed by any per-prefix overrides, which the
# table does not carry (the entry keeps the entity's own values).
OVERRIDES = re.compile(r"(\([0-9]+\)|\[[0-9]+\]|<[^>]*>|\{[^}]*\}|~[^~]*~)")
PREFIX = re.compile(r"[A-Z0-9/]+")


class DataError(Exception):
    pass


def number(text, what, line_no):
    """Shortest plain decimal form: 5.0 -> 5, -0.50 -> -0.5, 100 -> 100."""
    try:
        value = Decimal(text.strip())
    except InvalidOperation:
        raise DataError(f"line {line_no}: {what} {text!r} is not a number") from None
    if not value.is_finite():
        raise DataError(f"line {line_no}: {what} {text!r} is not a finite number")
    if value == 0:
        return "0"
    return format(value.normalize(), "f")


def quoted(text, what, line_no):
    if '"' in text or "," in text:
        raise DataError(f"line {line_no}: {what} {text!r} holds a double quote or a comma")
    if any(ord(c) < 0x20 or ord(c) == 0x7F for c in text):
        raise DataError(f"line {line_no}: {what} {text!r} holds a control character")
    try:
        text.encode("latin-1")
    except UnicodeEncodeError:
        raise DataError(f"line {line_no}: {what} {text!r} is not Latin-1 text") from None
    return f'"{text}"'


def bare_prefix(token, line_no):
    prefix = OVERRIDES.sub("", token)
    if not PREFIX.fullmatch(prefix):
        raise DataError(f"line {line_no}: cannot read the prefix in {token!r}")
    return prefix


def read_entities(csv_path):
    """Yields (line number, entity name, DXCC number, continent, CQ zone, ITU zone,
    latitude, longitude, UTC offset, prefix tokens) for every DXCC entity."""
    with open(csv_path, newline="", encoding="latin-1") as source:
        for line_no, row in enumerate(csv.reader(source), start=1):
            if not row or not "".join(row).strip():
                continue
            if len(row) != 10:
                raise DataError(f"line {line_no}: {len(row)} columns, 10 expected")
            primary = row[0].strip()
            if primary.startswith("*"):
                continue  # counts for other awards only; its prefixes stay with the parent
            tokens = row[9].strip()
            if not tokens.endswith(";"):
                raise DataError(f"line {line_no}: the prefix list does not end with ';'")
            yield line_no, row[1].strip(), row[2].strip(), row[3].strip(), row[4], row[5], \
                row[6], row[7], row[8], tokens[:-1].split()


def build(csv_path):
    prefix_lines = []  # (sort key, line)
    country_lines = []
    seen_prefixes = set()
    seen_entities = set()
    for (line_no, name, dxcc, continent, cq, itu, lat, lon, utc,
         tokens) in read_entities(csv_path):
        name = RENAMED_ENTITIES.get(name, name)
        if not name:
            raise DataError(f"line {line_no}: empty entity name")
        if name.upper() in seen_entities:
            raise DataError(f"line {line_no}: entity {name!r} is listed twice")
        seen_entities.add(name.upper())
        if not dxcc.isdigit() or int(dxcc) > 32767:
            raise DataError(f"line {line_no}: DXCC number {dxcc!r} is not a small whole number")
        country_lines.append(f"{quoted(name, 'entity', line_no)},{int(dxcc)}\r\n")

        tail = ",".join([
            quoted(name, "entity", line_no),
            quoted(continent, "continent", line_no),
            number(lon, "longitude", line_no),
            number(lat, "latitude", line_no),
            number(cq, "CQ zone", line_no),
            number(itu, "ITU zone", line_no),
            number(utc, "UTC offset", line_no),
        ])
        for token in tokens:
            if token.startswith("="):
                continue  # an exact call, not a prefix
            prefix = bare_prefix(token, line_no)
            if prefix in seen_prefixes:
                continue
            seen_prefixes.add(prefix)
            line = f"{quoted(prefix, 'prefix', line_no)},{tail}\r\n"
            prefix_lines.append((prefix[0].upper(), line))

    # The lookup needs ascending first characters; within one first character the
    # order of the country file is kept.
    prefix_lines.sort(key=lambda item: item[0])
    return [line for _, line in prefix_lines], country_lines


def main(argv):
    if len(argv) > 3 or any(arg in ("-h", "--help") for arg in argv[1:]):
        print(__doc__.strip())
        return 2
    csv_path = Path(argv[1]) if len(argv) > 1 else DEFAULT_CSV
    out_dir = Path(argv[2]) if len(argv) > 2 else DEFAULT_OUT
    try:
        prefix_lines, country_lines = build(csv_path)
    except (DataError, OSError) as error:
        print(f"{csv_path}: {error}", file=sys.stderr)
        return 1
    if len(prefix_lines) > 10000:
        print(f"{csv_path}: {len(prefix_lines)} prefixes, the logger reads at most 10000",
              file=sys.stderr)
        return 1
    if len(country_lines) > 1000:
        print(f"{csv_path}: {len(country_lines)} entities, the logger reads at most 1000",
              file=sys.stderr)
        return 1
    out_dir.mkdir(parents=True, exist_ok=True)
    (out_dir / "arrlpre2.txt").write_bytes("".join(prefix_lines).encode("latin-1"))
    (out_dir / "ADIFCnt.txt").write_bytes("".join(country_lines).encode("latin-1"))
    print(f"{len(prefix_lines)} prefixes, {len(country_lines)} entities written to {out_dir}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
