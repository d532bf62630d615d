#!/usr/bin/env python3
"""Writes the sample archive directory data/archives/ of valdran.

The archives are made up: two customers, three devices (one data logger of
the RV family, two volume correctors of the QM family), quarter-hour values
from 1 September to 1 December 2026, one device split over two archive files,
a few status codes and one logbook. Everything is computed from fixed seeds,
so every run writes the same bytes.

Usage: tools/make-sample-archives.py [output directory]
       (default: data/archives next to this tools directory)

Format of an archive file (TAB-separated, CR LF line ends, Windows-1252):
  ;KEY=value        header keys (per-channel keys carry a channel letter A..H)
  M designation serial type ...   meta line ("Logbuch" marks a logbook)
  # Zeit name2 name3 ...          value names; entry k belongs to data field k
  E (empty) unit2 unit3 ...       units, positional like the names
  O ...             end of header (at least 4 characters)
  data lines: ordinal number, "dd.mm.yyyy hh:mm:ss", values, status columns,
  optionally a trailing TAB "0x...." status code.
Header texts use the devices' substitute characters:
  [ ^ ] < @ > ? {   stand for   Ä Ö Ü ä ö ü ß °
"""

import math
import os
import random
import sys
from datetime import datetime, timedelta

START = datetime(2026, 9, 1, 0, 0, 0)
LAST = datetime(2026, 12, 1, 8, 0, 0)          # last regular line (read out that morning)
STEP = timedelta(minutes=15)
COUNT = int((LAST - START) / STEP) + 1          # regular lines per device

SEED = 20260901


# ---------------------------------------------------------------------------
# Weather and consumption profiles

def make_outdoor_temperatures(rng):
    """Outdoor temperature (deg C) for every quarter-hour slot."""
    days = (LAST - START).days + 2
    daily = []
    anomaly = 0.0
    for d in range(days):
        # autumn: from about 16 deg C at the start of September to 2 deg C at the end of November
        trend = 16.0 - 14.0 * d / 91.0
        anomaly = 0.75 * anomaly + rng.gauss(0.0, 1.6)
        daily.append(trend + anomaly)
    temps = []
    for i in range(COUNT):
        t = START + i * STEP
        d = (t - START).days
        hour = t.hour + t.minute / 60.0
        # coldest around 05:00, warmest around 15:00
        swing = 4.0 * math.sin((hour - 9.0) / 24.0 * 2.0 * math.pi)
        temps.append(daily[d] + swing)
    return temps


def office_occupancy(t):
    """1.0 while an office building is in use, a lower value otherwise."""
    if t.weekday() >= 5:
        return 0.25
    if 7 <= t.hour < 18:
        return 1.0
    if 6 <= t.hour < 7 or 18 <= t.hour < 20:
        return 0.55
    return 0.25


HOUSEHOLD_GAS = [0.55, 0.5, 0.5, 0.5, 0.6, 0.9, 1.45, 1.6, 1.45, 1.2, 1.05, 1.0,
                 1.0, 0.95, 0.95, 1.0, 1.1, 1.3, 1.45, 1.45, 1.35, 1.15, 0.9, 0.7]


def household_gas(t):
    weight = HOUSEHOLD_GAS[t.hour]
    if t.weekday() >= 5:
        # later mornings at weekends
        weight = HOUSEHOLD_GAS[max(t.hour - 1, 0)] * 1.05
    return weight


def water_use(t):
    if t.weekday() >= 5:
        return 0.03
    if 8 <= t.hour < 17:
        return 0.45 if t.hour in (9, 12, 13, 15) else 0.3
    if 7 <= t.hour < 8 or 17 <= t.hour < 19:
        return 0.12
    return 0.02


# ---------------------------------------------------------------------------
# Number formatting

def fmt_number(value, decimals, sep, int_width):
    """A counter reading cut (not rounded) to its resolution, integer part with leading zeros."""
    scale = 10 ** decimals
    units = int(math.floor(value * scale + 1e-9))
    int_part = units // scale
    text = str(int_part).rjust(int_width, "0")
    if decimals:
        text += sep + str(units % scale).rjust(decimals, "0")
    return text


def fmt_measure(value, decimals, sep):
    text = "%.*f" % (decimals, value)
    return text.replace(".", sep)


def fmt_time(t):
    return t.strftime("%d.%m.%Y %H:%M:%S")


# ---------------------------------------------------------------------------
# Devices

class Device:
    """One device: header values, columns and its regular quarter-hour series."""

    def __init__(self, serial, family, dev_type, designation, columns):
        self.serial = serial
        self.family = family
        self.dev_type = dev_type
        self.designation = designation
        # columns: list of dicts with name, unit, kind ("counter", "measure", "status")
        self.columns = columns
        self.series = {}          # column name -> list of COUNT values
        self.overrides = {}       # (column name, slot) -> text
        self.codes = {}           # slot -> trailing status code of a regular line
        self.events = []          # (time, {column: text}, code) extra event lines

    def value_text(self, col, slot, exact=None):
        key = (col["name"], slot)
        if exact is None and key in self.overrides:
            return self.overrides[key]
        if col["kind"] == "status":
            return "0"
        value = self.series[col["name"]][slot] if exact is None else exact
        if col["kind"] == "counter":
            return fmt_number(value, col["decimals"], col["sep"], col["width"])
        return fmt_measure(value, col["decimals"], col["sep"])

    def value_at(self, col, t):
        """Value of a column at an arbitrary time (counters interpolated)."""
        pos = (t - START) / STEP
        lo = int(math.floor(pos))
        hi = min(lo + 1, COUNT - 1)
        frac = pos - lo
        values = self.series[col["name"]]
        if col["kind"] == "counter":
            return values[lo] + (values[hi] - values[lo]) * frac
        return values[hi]


def counter(name, unit, decimals, sep, width):
    return {"name": name, "unit": unit, "kind": "counter",
            "decimals": decimals, "sep": sep, "width": width}


def measure(name, unit, decimals, sep):
    return {"name": name, "unit": unit, "kind": "measure", "decimals": decimals, "sep": sep}


def status(name):
    return {"name": name, "unit": "", "kind": "status"}


def slot_of(t):
    return int((t - START) / STEP)


def accumulate(start, increments):
    values = []
    total = start
    for inc in increments:
        total += inc
        values.append(total)
    return values


def build_rv_logger(temps):
    """Data logger RV715 in a town hall: two gas meters, electricity, water."""
    rng = random.Random(SEED + 1)
    dev = Device("0031415", "RV", "RV715", "3 (Lastgang)", [
        counter("V1", "m3", 1, ",", 7),      # Cp 10 pulses per m3
        counter("V2", "m3", 0, ",", 8),      # Cp 1 pulse per m3
        counter("W3", "kWh", 2, ".", 7),     # Cp 100 pulses per kWh
        counter("V4", "m3", 3, ",", 6),      # Cp 1000 pulses per m3
        status("StAe"),
    ])
    inc_v1, inc_v2, inc_w3, inc_v4 = [0.0], [0.0], [0.0], [0.0]
    for i in range(1, COUNT):
        t = START + i * STEP
        occ = office_occupancy(t)
        heat = max(0.0, 17.0 - temps[i])
        noise = lambda: rng.uniform(0.85, 1.15)
        # heating boiler: hot water base plus space heating, reduced outside office hours
        inc_v1.append((0.6 + 1.05 * heat * (0.55 + 0.45 * occ)) * 0.25 * noise())
        # canteen kitchen: weekdays around noon only
        kitchen = 2.2 if (t.weekday() < 5 and 10 <= t.hour < 14) else 0.05
        inc_v2.append(kitchen * 0.25 * noise())
        # electricity: about 48 kW in office hours, 11 kW base load
        inc_w3.append((11.0 + 37.0 * max(0.0, (occ - 0.25) / 0.75)) * 0.25 * noise())
        inc_v4.append(water_use(t) * 0.25 * noise())
    dev.series["V1"] = accumulate(12345.6, inc_v1)
    dev.series["V2"] = accumulate(4567.0, inc_v2)
    dev.series["W3"] = accumulate(734512.25, inc_w3)
    dev.series["V4"] = accumulate(2718.281, inc_v4)

    # power failure on 14 September: status word 33 for an hour, a special event line
    for s in range(slot_of(datetime(2026, 9, 14, 10, 45)), slot_of(datetime(2026, 9, 14, 11, 45)) + 1):
        dev.overrides[("StAe", s)] = "33"
    dev.events.append((datetime(2026, 9, 14, 10, 37, 12), {"StAe": "33"}, "0x0001"))
    # clock set on 3 October: special event with code 0x0002
    dev.events.append((datetime(2026, 10, 3, 2, 11, 40), {}, "0x0002"))
    # battery warning from 10 to 12 November: status word 16, special event at its start
    for s in range(slot_of(datetime(2026, 11, 10, 12, 0)), slot_of(datetime(2026, 11, 12, 9, 30)) + 1):
        dev.overrides[("StAe", s)] = "16"
    dev.events.append((datetime(2026, 11, 10, 11, 52, 5), {"StAe": "16"}, "0x0001"))
    # ordinary status codes on regular lines
    dev.codes[slot_of(datetime(2026, 9, 21, 8, 0))] = "0x0000"
    dev.codes[slot_of(datetime(2026, 11, 16, 8, 0))] = "0x0000"
    dev.codes[slot_of(datetime(2026, 10, 12, 14, 30))] = "0x8104"
    return dev


def gas_state(t_out, base):
    """Gas temperature in a buried pipe follows the outdoor temperature slowly."""
    return base + 0.25 * (t_out - 8.0)


def build_qm_burner(temps):
    """Volume corrector QM410 at the burner of a heating plant."""
    rng = random.Random(SEED + 2)
    dev = Device("0000815", "QM", "QM410", "12 (Brenner)", [
        counter("Vb", "m3", 2, ".", 7),
        counter("Vm", "m3", 2, ".", 7),
        measure("p", "bar", 3, ","),
        measure("T", "{C", 2, ","),
        status("StAe"),
        status("St.1"),
    ])
    inc_vb, inc_vm, p_values, t_values = [0.0], [0.0], [], []
    pressure = 1.315
    for i in range(COUNT):
        t = START + i * STEP
        heat = max(0.0, 16.0 - temps[i])
        pressure += 0.2 * (1.315 - pressure) + rng.gauss(0.0, 0.0015)
        gas_t = gas_state(temps[i], 10.5) + rng.gauss(0.0, 0.08)
        p_values.append(pressure)
        t_values.append(gas_t)
        if i == 0:
            continue
        # district heating: night set-back between 22:00 and 05:00
        setback = 0.6 if (t.hour >= 22 or t.hour < 5) else 1.0
        vb = (3.5 + 5.8 * heat * setback) * 0.25 * rng.uniform(0.8, 1.2)
        vm = vb * (pressure / 1.01325) * (273.15 / (273.15 + gas_t)) / 0.9975
        inc_vb.append(vb)
        inc_vm.append(vm)
    dev.series["Vb"] = accumulate(184532.17, inc_vb)
    dev.series["Vm"] = accumulate(236104.52, inc_vm)
    dev.series["p"] = p_values
    dev.series["T"] = t_values

    # pressure alarm on 7 October, event 1 and 5 in the event column
    first = slot_of(datetime(2026, 10, 7, 4, 15))
    last = slot_of(datetime(2026, 10, 7, 7, 0))
    for s in range(first, last + 1):
        dev.overrides[("StAe", s)] = "64"
        dev.overrides[("St.1", s)] = "1;5" if s < first + 4 else "1"
        dev.series["p"][s] = 1.215 + 0.004 * (s - first)
    dev.events.append((datetime(2026, 10, 7, 4, 8, 51), {"StAe": "64", "St.1": "1;5"}, "0x0001"))
    dev.events.append((datetime(2026, 10, 7, 7, 6, 3), {"St.1": "5"}, "0x0001"))
    # revision of the plant on 18 November: status word 16, event 5
    for s in range(slot_of(datetime(2026, 11, 18, 9, 0)), slot_of(datetime(2026, 11, 18, 11, 30)) + 1):
        dev.overrides[("StAe", s)] = "16"
        dev.overrides[("St.1", s)] = "5"
    # ordinary status codes on regular lines
    dev.codes[slot_of(datetime(2026, 9, 30, 6, 0))] = "0x0000"
    dev.codes[slot_of(datetime(2026, 11, 18, 9, 0))] = "0x8104"
    return dev


def build_qm_station(temps):
    """Volume corrector QM410 at a gas transfer station, with a logbook."""
    rng = random.Random(SEED + 3)
    dev = Device("0002024", "QM", "QM410", "4 (Messperiode)", [
        counter("Vb", "m3", 2, ",", 7),
        counter("Vm", "m3", 2, ",", 8),
        status("StAe"),
        status("VbS"),
        status("VmS"),
    ])
    inc_vb, inc_vm = [0.0], [0.0]
    for i in range(1, COUNT):
        t = START + i * STEP
        heat = max(0.0, 17.0 - temps[i])
        load = household_gas(t)
        vb = (110.0 + 24.0 * heat) * load * 0.25 * rng.uniform(0.9, 1.1)
        gas_t = gas_state(temps[i], 9.0)
        vm = vb * (4.85 / 1.01325) * (273.15 / (273.15 + gas_t)) / 0.988
        inc_vb.append(vb)
        inc_vm.append(vm)
    dev.series["Vb"] = accumulate(3141592.65, inc_vb)
    dev.series["Vm"] = accumulate(15707963.27, inc_vm)

    # disturbance on 20 October: status word 16, disturbance flags on both counters
    for s in range(slot_of(datetime(2026, 10, 20, 2, 15)), slot_of(datetime(2026, 10, 20, 4, 30)) + 1):
        dev.overrides[("StAe", s)] = "16"
        dev.overrides[("VbS", s)] = "1"
        dev.overrides[("VmS", s)] = "1"
    dev.events.append((datetime(2026, 10, 20, 2, 3, 27), {"StAe": "16", "VbS": "1", "VmS": "1"}, "0x0001"))
    dev.codes[slot_of(datetime(2026, 11, 2, 6, 0))] = "0x0000"
    return dev


# ---------------------------------------------------------------------------
# Writing

def header_lines(dev, keys, channels, meta_extra=(), comment=None):
    lines = []
    if comment:
        lines.append(comment)
    for key, value in keys:
        lines.append(";%s=%s" % (key, value))
    for letter, (devno, factor, cp) in zip("ABCDEFGH", channels):
        lines.append(";DEVNO%s=%s" % (letter, devno))
        lines.append(";ANALOGC%s=%s" % (letter, factor))
        lines.append(";CPVALUE%s=%s" % (letter, cp))
    meta = ["M", dev.designation, dev.serial, dev.dev_type] + list(meta_extra)
    lines.append("\t".join(meta))
    return lines


def names_units(columns):
    names = ["#", "Zeit"] + [c["name"] for c in columns]
    units = ["E", ""] + [c["unit"] for c in columns]
    return ["\t".join(names), "\t".join(units), "O" + "\t" * (len(names) - 1)]


def data_lines(dev, first_ordinal, begin, end):
    """Regular and event lines of dev with begin <= time <= end, ordinal numbers for all."""
    entries = []
    for i in range(COUNT):
        entries.append((START + i * STEP, 0, i, None))
    for t, over, code in dev.events:
        entries.append((t, 1, None, (over, code)))
    entries.sort(key=lambda e: (e[0], e[1]))
    lines = []
    ordinal = first_ordinal
    for t, _, slot, event in entries:
        ordinal += 1
        if t < begin or t > end:
            continue
        fields = [str(ordinal), fmt_time(t)]
        if event is None:
            for col in dev.columns:
                fields.append(dev.value_text(col, slot))
            code = dev.codes.get(slot)
        else:
            over, code = event
            for col in dev.columns:
                if col["name"] in over:
                    fields.append(over[col["name"]])
                elif col["kind"] == "status":
                    fields.append("0")
                else:
                    fields.append(dev.value_text(col, None, dev.value_at(col, t)))
        if code:
            fields.append(code)
        lines.append("\t".join(fields))
    return lines


def write_archive(path, lines):
    text = "".join(line + "\r\n" for line in lines)
    with open(path, "wb") as f:
        f.write(text.encode("cp1252"))


def logbook_lines(dev, rng):
    """Event lines of the station's logbook: GONr, counter readings, event column, status."""
    vb = dev.columns[0]
    vm = dev.columns[1]
    events = []
    # routine events: event 5 (parameter read out) and event 1 (limit) now and then
    quiet = [datetime(2026, 10, 19, 12, 0), datetime(2026, 11, 1, 12, 0), datetime(2026, 11, 24, 12, 0)]
    t = START + timedelta(hours=9, minutes=12, seconds=7)
    while t < LAST - timedelta(days=1):
        # no routine entries close to the fixed ones below
        if all(abs(t - q) > timedelta(days=1) for q in quiet):
            events.append((t, "5" if rng.random() < 0.6 else "1", "0", None))
        t += timedelta(days=rng.randint(2, 5), minutes=rng.randint(-240, 240), seconds=rng.randint(0, 59))
    # the disturbance of 20 October: comes, goes
    events.append((datetime(2026, 10, 20, 2, 3, 27), "1;5", "16", "0x0001"))
    events.append((datetime(2026, 10, 20, 4, 41, 9), "1", "0", None))
    # remote read-outs
    events.append((datetime(2026, 11, 1, 6, 5, 17), "5", "0", "0x8104"))
    events.append((datetime(2026, 12, 1, 8, 12, 31), "5", "0", "0x8104"))
    # parameter change with a special status code
    events.append((datetime(2026, 11, 24, 13, 47, 55), "1;5", "0", "0x0001"))
    events.sort(key=lambda e: e[0])
    lines = []
    gonr = 48210
    for n, (t, st1, stae, code) in enumerate(events, start=1):
        gonr += rng.randint(1, 3)
        fields = [str(n), fmt_time(t), str(gonr).rjust(6, "0"),
                  dev.value_text(vb, None, dev.value_at(vb, t)),
                  dev.value_text(vm, None, dev.value_at(vm, t)),
                  st1, stae]
        if code:
            fields.append(code)
        lines.append("\t".join(fields))
    return lines


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "archives")
    out_dir = os.path.normpath(out_dir)
    os.makedirs(out_dir, exist_ok=True)

    temps = make_outdoor_temperatures(random.Random(SEED))
    rv = build_rv_logger(temps)
    burner = build_qm_burner(temps)
    station = build_qm_station(temps)

    # Customer 000101: data logger, split over two read-outs that overlap by six hours
    rv_keys_common = [
        ("INTERVAL", "15"),
        ("BEGINOFDAY", "00"),
        ("CUSTNO", "000101"),
        ("CUSTNAME", "Stadtwerke Beispielstadt"),
        ("METERNO", "0071234561"),
        ("METERLOCATION", "Rathaus, Hauptstra?e 12"),
        ("MLDESCVV", "DE0001234512345000000000000031415"),
    ]
    rv_channels = [("0031415", "1", "00010"), ("0031416", "1", "00001"),
                   ("0031417", "1", "00100"), ("0031418", "1", "01000")]
    part1_end = datetime(2026, 11, 1, 6, 0)
    part2_begin = datetime(2026, 11, 1, 0, 0)
    header = header_lines(rv, [("DATERO", "01.11.2026 06:05:17")] + rv_keys_common, rv_channels,
                          meta_extra=("V2.14",))
    write_archive(os.path.join(out_dir, "0031415_2026-09.AGR"),
                  header + names_units(rv.columns) + data_lines(rv, 10233, START, part1_end))
    header = header_lines(rv, [("DATERO", "01.12.2026 08:12:31")] + rv_keys_common, rv_channels,
                          meta_extra=("V2.14",))
    write_archive(os.path.join(out_dir, "0031415_2026-11.AGR"),
                  header + names_units(rv.columns) + data_lines(rv, 10233, part2_begin, LAST))

    # Customer 000101: volume corrector at the burner of the heating plant
    header = header_lines(burner, [
        ("DATERO", "01.12.2026 08:20:44"),
        ("INTERVAL", "0015"),
        ("BEGINOFDAY", "06"),
        ("CUSTNO", "000101"),
        ("CUSTNAME", "Stadtwerke Beispielstadt"),
        ("METERNO", "0008150042"),
        ("METERLOCATION", "Heizwerk K@nigstra?e"),
        ("MLDESCVV", "DE0001234512345000000000000000815"),
    ], [("0000815", "1", "00001"), ("0000815", "1", "00001"),
        ("0000815", "0,001", "0"), ("0000815", "0,01", "0")],
        comment=";Archiv ausgelesen per Fernauslesung")
    write_archive(os.path.join(out_dir, "0000815_2026-09.AGR"),
                  header + names_units(burner.columns) + data_lines(burner, 0, START, LAST))

    # Customer 000202: volume corrector at the transfer station, and its logbook
    station_keys = [
        ("INTERVAL", "15"),
        ("BEGINOFDAY", "06"),
        ("CUSTNO", "000202"),
        ("CUSTNAME", "M>ller Gaswerk"),
        ("METERNO", "0020240007"),
        ("METERLOCATION", "]bergabestation S>d"),
        ("MLDESCVV", "DE0009876554321000000000000002024"),
    ]
    station_channels = [("0002024", "1", "00001"), ("0002024", "1", "00001")]
    header = header_lines(station, [("DATERO", "01.12.2026 08:12:31")] + station_keys, station_channels)
    write_archive(os.path.join(out_dir, "0002024_2026-09.AGR"),
                  header + names_units(station.columns) + data_lines(station, 5120, START, LAST))

    book = Device(station.serial, "QM", "QM410", "7 (Logbuch)", [
        {"name": "GONr", "unit": ""}, {"name": "Vb", "unit": "m3"}, {"name": "Vm", "unit": "m3"},
        {"name": "St.1", "unit": ""}, {"name": "StAe", "unit": ""},
    ])
    header = header_lines(book, [("DATERO", "01.12.2026 08:12:31")] + station_keys, station_channels)
    write_archive(os.path.join(out_dir, "0002024_LOGBUCH.AGW"),
                  header + names_units(book.columns) + logbook_lines(station, random.Random(SEED + 4)))


if __name__ == "__main__":
    main()
