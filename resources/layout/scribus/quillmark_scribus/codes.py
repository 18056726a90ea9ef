"""The meaning of the integer codes of "maketextbox", read from layout_codes.json (written by the
program from its own table, so both sides agree)."""

import json
import os

_TABLE_PATH = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "layout_codes.json")


def _load_table():
    with open(_TABLE_PATH, encoding="utf-8") as table_file:
        return json.load(table_file)


_TABLE = _load_table()


def key(field, code):
    """The key of a field's code; the field's default (its first choice) for an unknown code."""
    choices = _TABLE[field]["choices"]
    for choice in choices:
        if choice["code"] == code:
            return choice["key"]
    return choices[0]["key"]
