"""Reads a system settings file with Python's configparser, a reader that owes
nothing to Qt, and checks it against the shared key table: every section once,
every key once with its default, and nothing else; with --table-order, also
sections and keys in the order of the table.

usage: check_system_ini.py [--table-order] SETTINGS.ini system-keys.tsv
"""
import configparser
import ipaddress
import sys
import urllib.parse


def main(args):
    table_order = args[0] == "--table-order"
    ini_path, table_path = args[1:] if table_order else args
    parser = configparser.ConfigParser(interpolation=None, delimiters=("=",),
                                       comment_prefixes=(";",), strict=True)
    parser.optionxform = str  # keys keep their letter case
    with open(ini_path, encoding="utf-8") as ini:
        parser.read_file(ini)  # strict: a repeated section or key raises

    rows = [line.rstrip("\n").split("\t") for line in open(table_path, encoding="utf-8")
            if line.strip() and not line.startswith("#")]
    errors = []
    ordered = list if table_order else sorted
    sections = list(dict.fromkeys(section for section, _, _ in rows))
    if ordered(parser.sections()) != ordered(sections):
        errors.append("sections %s, expected %s" % (parser.sections(), sections))
    for section in sections:
        keys = [key for s, key, _ in rows if s == section]
        if parser.has_section(section) and ordered(parser.options(section)) != ordered(keys):
            errors.append("[%s] holds %s, expected %s" % (section, parser.options(section), keys))
    for section, key, default in rows:
        value = parser.get(section, key, fallback=None)
        if value is None:
            errors.append("%s/%s missing" % (section, key))
        elif default != "*":
            # QSettings writes a backslash doubled; configparser keeps text as is.
            if value != default.replace("\\", "\\\\"):
                errors.append("%s/%s = %r, expected %r" % (section, key, value, default))
        elif key == "SETT_CHECKCONN_ADDRESS":
            url = urllib.parse.urlsplit(value)
            if url.scheme != "http" or not url.hostname or url.port not in (None, 80):
                errors.append("%s is no web address on port 80" % value)
        elif key == "SETT_CHECKCONN_IP":
            if not ipaddress.IPv4Address(value).is_global:
                errors.append("%s is no public IPv4 address" % value)
        elif not value:
            errors.append("%s/%s is empty" % (section, key))
    for error in errors:
        print(error)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
