#!/usr/bin/python3
"""Writes the demo agency's host scenario (host.json) and the expected outcome of one run
(expected.json) from a fixed seed, so that the demo and its end-to-end test agree.

The agency has three offices (PCCs) LON1, MAN2 and EDI3 and five source queues:
  LON1/40     sales desk, 130 PNRs, mapping file SALES_LON.CSV (sine, name)
  LON1/41*C5  corporate desk, 40 PNRs, CORPORATE.CSV (DI.AC, CI)
  MAN2/40     shared desk, 60 PNRs, MAN_SALES.CSV (sine) and GROUPS.CSV (DI.X)
  MAN2/42     leisure desk, 40 PNRs, LEISURE.CSV (name, DI.X, sine)
  EDI3/40     Edinburgh, 30 PNRs, LEISURE.CSV, with a notepad remark
The Fail Queue is queue 90 of each office. About one PNR in twelve carries nothing that a
mapping file knows and goes to the Fail Queue. The host refuses the moves of one PNR three
times, so it goes to the Fail Queue too (expected.json keeps its agents' queues as
"agent_destinations": where it goes once a later start has returned it from the Fail Queue),
and it answers one entry of a run "PREVIOUS ENTRY IN PROGRESS".
Run: /usr/bin/python3 generate.py (in this folder)
"""

import json
import random

SEED = 20261206
BUSY_EVERY = 1800

SURNAMES = [
    "ABBOTT", "BAXTER", "CALDWELL", "DONOVAN", "ELLISON", "FAIRCLOUGH", "GALLAGHER", "HUGHES",
    "IRVING", "JARDINE", "KEMPTON", "LAWRENCE", "MCALLISTER", "NORTHCOTT", "OSBORNE", "PRENTICE",
    "QUINLAN", "RADCLIFFE", "SUTHERLAND", "THORNTON", "UNDERWOOD", "VAUGHAN", "WHITAKER",
    "YARDLEY", "ZIEGLER", "BRENNAN", "CHOWDHURY", "DUBOIS", "ESPOSITO", "FITZGERALD", "GRAYSON",
    "HOLLOWAY", "INGRAM", "JOHANSSON", "KOWALSKI", "LOCKWOOD", "MORENO", "NAKAMURA", "OYELARAN",
    "PEMBERTON", "ROSSI", "SHARMA", "TREMBLAY", "VASQUEZ", "WEATHERBY", "MÜLLER", "NÚÑEZ",
]
FIRST = ["JOHN", "ANN", "PRIYA", "TOM", "SARAH", "DAVID", "MEI", "OLU", "CLAIRE", "JAMES",
         "FATIMA", "PETER", "LUCY", "ANDREW", "SOPHIE", "MARK", "ELENA", "RAJ"]
TITLES = ["MR", "MRS", "MS", "DR", "MSTR"]
AIRLINES = ["BA", "AA", "LH", "AF", "KL", "EI", "VS", "EK"]
# Sines and remark values that no mapping file knows: PNRs carrying only these go to the
# Fail Queue.
STRAY_SINES = ["ZQ", "XW", "KP", "VV"]

# Who owns what, per mapping file: (kind, the mapping file's value, the values PNRs carry
# that it matches, destination). Sines with the prefix rule are written as the file has them
# (prefix "0" and sine "5" give the sine "05").
SALES_LON = [("SINE", "JS", ["JS"], "LON1/50"), ("SINE", "AK", ["AK"], "LON1/51"),
             ("SINE", "MB", ["MB"], "LON1/52"), ("SINE", "RT", ["RT"], "LON1/53*C1"),
             ("NAME", "HARRINGTON", ["HARRINGTON"], "LON1/54"),
             ("NAME", "OKAFOR", ["OKAFOR"], "LON1/55"),
             ("NAME", "LINDQVIST", ["LINDQVIST"], "LON1/56")]
CORPORATE = [("DI.AC", "12*", ["1290", "1204"], "LON1/60"),
             ("DI.AC", "4##7", ["4517", "4007"], "LON1/61"),
             ("DI.AC", "9[0-4]*", ["9311", "9042"], "LON1/62*C2"),
             ("CI", "00123", ["00123"], "LON1/63"), ("CI", "7*", ["70042", "71818"], "LON1/64")]
MAN_SALES = [("SINE", "5", ["05"], "MAN2/50"), ("SINE", "PW", ["PW"], "MAN2/51"),
             ("SINE", "DL", ["DL"], "MAN2/52")]
GROUPS = [("DI.X", "ACME*", ["ACME", "ACMEWORLD"], "MAN2/55"),
          ("DI.X", "GLOBEX", ["GLOBEX"], "MAN2/56"),
          ("DI.X", "INITECH?", ["INITECH7", "INITECHX"], "MAN2/57")]
LEISURE = [("NAME", "FERNANDES", ["FERNANDES"], "MAN2/60"),
           ("DI.X", "[A-C]*TOURS", ["ATLAS TOURS", "CORAL TOURS"], "MAN2/61"),
           ("SINE", "HL", ["HL"], "EDI3/50"), ("NAME", "MACLEOD", ["MACLEOD"], "EDI3/51")]
MAPPING_FILES = {"SALES_LON.CSV": SALES_LON, "CORPORATE.CSV": CORPORATE,
                 "MAN_SALES.CSV": MAN_SALES, "GROUPS.CSV": GROUPS, "LEISURE.CSV": LEISURE}
AGENT_NAMES = ["JANE SHAW", "ALI KHAN", "MARIA BOSCO", "ROB TENNANT", "HELEN LAIRD",
               "PAUL WEST", "DAN LOWE", "KIM FOSTER"]

SOURCES = [
    ("LON1/40", 130, [SALES_LON]),
    ("LON1/41*C5", 40, [CORPORATE]),
    ("MAN2/40", 60, [MAN_SALES, GROUPS]),
    ("MAN2/42", 40, [LEISURE]),
    ("EDI3/40", 30, [LEISURE]),
]


def locator(rng, used):
    letters = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789"
    while True:
        loc = "".join(rng.choice(letters) for _ in range(6))
        if loc not in used:
            used.add(loc)
            return loc


def plain_pnr(rng, loc, pcc):
    surname = rng.choice(SURNAMES)
    pnr = {
        "locator": loc,
        "owner_pcc": pcc,
        "sine": rng.choice(STRAY_SINES),
        "name": f"{surname}/{rng.choice(FIRST)} {rng.choice(TITLES)}",
        "airlines": rng.sample(AIRLINES, rng.randint(1, 2)),
    }
    if rng.random() < 0.7:
        offset = rng.randint(-4, 12)
        day = f"{{today{offset:+d}}}" if offset else "{today}"
        pnr["tau"] = f"TKTG-TAU/{rng.choice(['XX', 'OK', 'TL'])}{day}"
        if rng.random() < 0.3:
            pnr["tau"] += "*CALL PAX"
    else:
        pnr["ticketed"] = True
    return pnr


def own(pnr, kind, value, rng):
    """Gives the PNR the evidence that makes `kind` find its agent."""
    if kind == "SINE":
        pnr["sine"] = value
    elif kind == "NAME":
        pnr["name"] = f"{value}/{rng.choice(FIRST)} {rng.choice(TITLES)}"
    elif kind == "DI.AC":
        pnr.setdefault("di", []).insert(0, f"AC ACCT-{value}")
    elif kind == "CI":
        pnr["ci"] = value
    elif kind == "DI.X":
        pnr.setdefault("di", []).append(f"X/QD-{value}")


def main():
    rng = random.Random(SEED)
    used = set()
    pnrs, queues, expected = [], {}, {}
    for source, count, files in SOURCES:
        pcc = source.split("/")[0]
        queues[source] = []
        rows = [row for f in files for row in f]
        # When several mapping files serve one queue, the agents found with the last file
        # decide where a PNR goes; the others only add evidence.
        deciding = files[-1]
        for i in range(count):
            loc = locator(rng, used)
            pnr = plain_pnr(rng, loc, pcc)
            roll = rng.random()
            if roll < 0.08:
                picked = []  # no agent: the Fail Queue
                if rng.random() < 0.5:
                    pnr["di"] = ["AC ACCT-5555", "X/QD-NOBODY"]
            elif roll < 0.16:
                # Found twice: evidence of two different kinds.
                first = rng.choice(rows)
                picked = [first, rng.choice([r for r in rows if r[0] != first[0]])]
            else:
                picked = [rng.choice(deciding if rng.random() < 0.85 else rows)]
            for kind, _, values, _ in picked:
                own(pnr, kind, rng.choice(values), rng)
            destinations = [dest for row in picked for dest in [row[3]] if row in deciding]
            if rng.random() < 0.15:
                pnr.setdefault("di", []).insert(0, "GEN FREQUENT FLYER")
            pnrs.append(pnr)
            queues[source].append(loc)
            expected[loc] = {"source": source,
                             "destinations": sorted(set(destinations)) or [pcc + "/90"]}

    # A PNR whose moves the host refuses three times: it goes to the Fail Queue.
    # Once its refusals are spent (a later start returns it from the Fail Queue), it goes to
    # its agents like any other PNR.
    refused = queues["LON1/40"][7]
    expected[refused]["agent_destinations"] = expected[refused]["destinations"]
    expected[refused]["destinations"] = ["LON1/90"]
    expected[refused]["refused"] = True
    for addr in ["LON1/90", "MAN2/90", "EDI3/90"]:
        queues.setdefault(addr, [])

    scenario = {
        "agent_ids": ["4021"],
        "signed_in": False,
        "sign_on_answer": "normal",
        "pccs": {"LON1": {"emulation": True}, "MAN2": {"emulation": True},
                 "EDI3": {"emulation": True}},
        "pnrs": pnrs,
        "queues": queues,
        # One run answers about 2,950 entries: the host is busy once, in the middle of it
        # (each busy answer costs the program a ten-second wait).
        "faults": {"refuse_move": {refused: 3}, "busy_every": BUSY_EVERY},
    }
    with open("host.json", "w", encoding="utf-8") as f:
        json.dump(scenario, f, ensure_ascii=False, indent=1)
        f.write("\n")
    write_mapping_files()
    write_task_file()
    with open("expected.json", "w", encoding="utf-8") as f:
        json.dump(expected, f, ensure_ascii=False, indent=1, sort_keys=True)
        f.write("\n")


def write_csv(name, rows):
    with open(name, "w", encoding="cp1252", newline="") as f:
        for row in rows:
            f.write(",".join(row) + "\r\n")


def write_mapping_files():
    header = ["AGENT NAME", "AGENT SINE", "PREFIX AGENT SINE", "DI.AC", "CI", "DI.X",
              "DESTINATION PCC", "QUEUE NO", "CATEGORY", "DISTRIBUTED BY"]
    for index, (name, rows) in enumerate(MAPPING_FILES.items()):
        lines = [header]
        for n, (kind, value, _, dest) in enumerate(rows):
            pcc, queue = dest.split("/")
            queue, _, category = queue.partition("*")
            agent = AGENT_NAMES[(index + n) % len(AGENT_NAMES)]
            cells = {"AGENT NAME": agent, "AGENT SINE": "", "PREFIX AGENT SINE": "",
                     "DI.AC": "", "CI": "", "DI.X": "", "DESTINATION PCC": pcc,
                     "QUEUE NO": queue, "CATEGORY": category, "DISTRIBUTED BY": kind}
            if kind == "SINE":
                cells["AGENT SINE"] = value
                if len(value) == 1:
                    cells["PREFIX AGENT SINE"] = "0"
            elif kind == "NAME":
                cells["AGENT NAME"] = value
            else:
                cells[kind] = f'"{value}"' if "," in value else value
            lines.append([cells[h] for h in header])
        write_csv(name, lines)


def write_task_file():
    rows = [["FROM PCC", "FROM QUEUE NO", "FROM CATEGORY", "MAPPING FILE", "ADD NOTE", "NOTEPAD",
             "AIRLINE", "DAYS"]]
    for source, _, files in SOURCES:
        pcc, queue = source.split("/")
        queue, _, category = queue.partition("*")
        for f in files:
            name = next(n for n, rows_ in MAPPING_FILES.items() if rows_ is f)
            note = ["N", ""]
            if pcc == "EDI3":
                note = ["Y", "CHECKED BY AMBERVALE"]
            elif f is MAN_SALES:
                note = ["Y", "SORTED BY AMBERVALE"]
            rows.append([pcc, queue, category, name.lower() if pcc == "EDI3" else name] + note +
                        ["ALL", "3"])
    write_csv("TaskMaintenance.csv", rows)


if __name__ == "__main__":
    main()
