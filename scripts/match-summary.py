#!/usr/bin/env python3
"""One line per match log (the JSON lines of dab-referee or orbello-referee --out): the first
engine's games, score, Elo with its interval (of the pairs when games were paired), the
SPRT's verdict, its mean and maximum reply time, and the faults of the match. With
NAME|TARGET|LOG arguments, a target column: "all" (every game won), "N%" (at least that
share of the games won) or "N% score"."""
import json
import sys


def last_match(path):
    match = None
    with open(path) as f:
        for line in f:
            try:
                record = json.loads(line)
            except ValueError:
                continue  # a line cut short
            if record.get("type") == "match":
                match = record
    return match


def met(target, e, games):
    if not target:
        return ""
    if target == "all":
        return "met" if e["wins"] == games else "NOT MET"
    share = float(target.split("%")[0]) / 100
    value = (e["points"] if "score" in target else e["wins"]) / games if games else 0
    return "met" if value >= share - 1e-9 else "NOT MET"


print("%-16s %5s %7s %-30s %-12s %8s %8s %6s  %s" % (
    "match", "games", "score", "Elo [95%]", "SPRT", "mean ms", "max ms", "faults", "target"))
for argument in sys.argv[1:]:
    name, target, log = ("", "", argument)
    if "|" in argument:
        name, target, log = argument.split("|", 2)
    m = last_match(log)
    if m is None:
        print("%-16s no closing line in %s" % (name or log, log))
        continue
    e = m["engines"][0]
    games = e["wins"] + e["losses"] + e["draws"]
    stats = m["statistics"]
    elo = stats.get("pairs", stats.get("first", {})).get("text", "-")
    sprt = stats.get("sprt", {}).get("verdict", "-")
    faults = sum(sum(x["faults"].values()) for x in m["engines"])
    print("%-16s %5d %6.1f%% %-30s %-12s %8.1f %8.1f %6d  %s %s" % (
        name or e["label"] + " v " + m["engines"][1]["label"], games,
        100.0 * e["points"] / games if games else 0, elo, sprt, e["mean_ms"], e["max_ms"],
        faults, target, met(target, e, games)))
