#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes data/EXCHANGE.NT2, the invented demo competition, in the exchange file's layout."""
import sys

BANNER = [" ", "<!-- " + "*" * 42 + " -->",
          "<!--  DIESE DATEI WURDE AUTOMATISCH ERZEUGT!!   -->",
          "<!--  JEDES MANUELLE EDITIEREN IST UNTERSAGT!!  -->",
          "<!-- " + "*" * 42 + " -->", " "]

competition = [("NAME", "Frühjahrsmeeting um den Pokal der Stadtwerke"),
               ("VERANSTALTER", "Stadtsportbund Neustadt am Kanal"),
               ("AUSRICHTER", "SV Blau-Weiß Neustadt 1921 e.V."),
               ("PLACE", "Neustadt am Kanal, Hallenbad Am Kanaltor"),
               ("DATE1", "13.03.2027"), ("DATE2", "14.03.2027"),
               ("LANELEN", "25"), ("ABSCNT", "3")]
periods = [("13.03.2027", "14:00", "12:30", "12:30", "13:30"),
           ("14.03.2027", "09:30", "08:00", "08:00", "09:00"),
           ("14.03.2027", "15:00", "13:45", "13:45", "14:30")]
# number, section, name, sex, youngest, oldest, relay, fee
events = [
    ("1", 1, "200m Lagen weiblich", "F", 2016, 1900, 0, "5"),
    ("2", 1, "200m Lagen männlich", "M", 2016, 1900, 0, "5"),
    ("3", 1, "100m Brust weiblich", "F", 2017, 1900, 0, "4,5"),
    ("4", 1, "100m Brust männlich", "M", 2017, 1900, 0, "4,5"),
    ("5", 1, "50m Freistil weiblich", "F", 2018, 1900, 0, "4,5"),
    ("6", 1, "50m Freistil männlich", "M", 2018, 1900, 0, "4,5"),
    ("7", 1, "4x50m Freistil Mixed", "X", 2018, 1900, 1, "12"),
    ("8", 2, "100m Rücken weiblich", "F", 2017, 1900, 0, "4,5"),
    ("9", 2, "100m Rücken männlich", "M", 2017, 1900, 0, "4,5"),
    ("10", 2, "200m Freistil weiblich", "F", 2016, 1900, 0, "5"),
    ("11", 2, "200m Freistil männlich", "M", 2016, 1900, 0, "5"),
    ("12", 2, "50m Schmetterling weiblich", "F", 2018, 1900, 0, "4,5"),
    ("12a", 2, "50m Schmetterling weiblich Masters (AK 25 und älter)", "F", 2001, 1900, 0, "4,5"),
    ("13", 2, "50m Schmetterling männlich", "M", 2018, 1900, 0, "4,5"),
    ("14", 3, "100m Freistil weiblich", "F", 2017, 1900, 0, "4,5"),
    ("15", 3, "100m Freistil männlich", "M", 2017, 1900, 0, "4,5"),
    ("16", 3, "50m Rücken weiblich Jugend", "F", 2018, 2012, 0, "4,5"),
    ("17", 3, "50m Rücken männlich Jugend", "M", 2018, 2012, 0, "4,5"),
    ("18", 3, "50m Brust offen", "X", 2018, 1900, 0, "4,5"),
    ("19", 3, "4x50m Lagen Mixed", "X", 2018, 1900, 1, "12"),
]

lines = ['<?xml version="1.0"?>'] + BANNER + ["<NOMINATION>", " "]
lines.append("  <COMPETITION>")
lines += [f"    <{k}>{v}</{k}>" for k, v in competition]
lines += ["  </COMPETITION>", " "]
for number, (date, time, admission, warmup, judges) in enumerate(periods, 1):
    lines.append(f"  <PERIOD id={number}>")
    for key, value in (("DATE", date), ("TIME", time), ("INT", admission),
                       ("WARMUP", warmup), ("KARI", judges)):
        lines.append(f"    <{key}>{value}</{key}>")
    lines += ["  </PERIOD>", " "]
lines.append(" ")
for number, section, name, sex, youngest, oldest, relay, fee in events:
    lines.append(f"  <EVENT id={number}>")
    for key, value in (("PERIOD", section), ("NAME", name), ("SEX", sex), ("AGEMIN", youngest),
                       ("AGEMAX", oldest), ("STAFFEL", relay), ("FEE", fee)):
        lines.append(f"    <{key}>{value}</{key}>")
    lines += ["  </EVENT>", " "]
lines += [" ", "</NOMINATION>"] + BANNER

target = sys.argv[1] if len(sys.argv) > 1 else "data/EXCHANGE.NT2"
with open(target, "wb") as out:
    out.write("".join(line + "\r\n" for line in lines).encode("cp1252"))
