#!/usr/bin/env python3
"""Checks that every service, call, setting and variable docs/integration.md
names in backticks is one the code uses: each such name must appear in the
library's sources (or, for polkit actions, in the sample rule it documents).
Names that belong to the host's own tools (Qt, its pkg-config names, CMake, systemd) are listed below."""
import pathlib
import re
import sys

root = pathlib.Path(__file__).resolve().parent.parent
guide = root / "docs" / "integration.md"
corpus_dirs = ["source", "platform", "appmodules", "include", "panor", "tracel", "host", "cmake", "docs/examples"]
# Not the library's: the host's toolkit, build system and service manager.
foreign = {"find_package", "QCoreApplication", "sendPostedEvents", "QEvent", "DeferredDelete", "QApplication",
           "PAMName", "Qt6Core", "Qt6Gui", "Qt6Widgets", "Qt6Network", "Vantel_ICON_DIR", "Vantel_QT_MAJOR", "XDG_CONFIG_HOME", "XDG_STATE_HOME"}

name = re.compile(r"org\.freedesktop\.[\w.-]*\w|[A-Za-z]\w*")
def interesting(token):
    if token in foreign:
        return False
    if token.startswith("org.freedesktop."):
        return True
    if "_" in token.strip("_"):
        return True  # snake or upper case with underscores: settings, variables, calls
    return bool(re.fullmatch(r"[A-Z][a-z0-9]+(?:[A-Z][A-Za-z0-9]*)+", token))  # CamelCase calls and classes

corpus = []
for d in corpus_dirs:
    for path in (root / d).rglob("*"):
        if path.is_file() and path.suffix in {".h", ".cpp", ".cmake", ".in", ".rules", ".txt"}:
            corpus.append(path.read_text(errors="replace"))
text = "\n".join(corpus)

missing = []
for span in re.findall(r"`([^`\n]+)`", guide.read_text()):
    for token in name.findall(span):
        if interesting(token) and token not in text:
            missing.append(token)
for token in sorted(set(missing)):
    print(f"{guide.relative_to(root)}: `{token}` is named but the code never uses it", file=sys.stderr)
sys.exit(1 if missing else 0)
