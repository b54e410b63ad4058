# check_system_ini.py --table-order|--any-order SETTINGS.ini system-keys.tsv: a reader owing nothing
# to Qt finds every section and key of the table once, with its default ("*": any text but empty).
import configparser
import sys

ordered = list if sys.argv[1] == "--table-order" else sorted
parser = configparser.ConfigParser(interpolation=None, delimiters=("=",), comment_prefixes=(";",), strict=True)
parser.optionxform = str  # keys keep their letter case
with open(sys.argv[2], encoding="utf-8") as ini:
    parser.read_file(ini)  # strict: a repeated section or key raises
with open(sys.argv[3], encoding="utf-8") as table:
    rows = [line.rstrip("\n").split("\t") for line in table if line.strip() and not line.startswith("#")]

keys = {}
for section, key, _ in rows:
    keys.setdefault(section, []).append(key)
found = ordered((section, ordered(parser.options(section))) for section in parser.sections())
errors = [] if found == ordered((s, ordered(k)) for s, k in keys.items()) else ["holds %s" % found]
for section, key, default in rows:
    value = parser.get(section, key, fallback=None)
    # QSettings writes a backslash doubled; configparser keeps text as is.
    if value is None or (not value if default == "*" else value != default.replace("\\", "\\\\")):
        errors.append("%s/%s = %r, expected %r" % (section, key, value, default))
print("\n".join(errors))
sys.exit(1 if errors else 0)
