#!/bin/sh
# check-layers.sh [ROOT]: lists every #include by which a source folder reaches a folder above it
# or beside it in its layer, and every source folder the table below does not place. Looks at the
# C++ files of common/, platform/, wizard/, foldersize/ and tools/ under ROOT (the repository
# without an argument). Exits 1 when it lists anything.
#
# Each stack is read bottom up, one layer a line; a folder may include its own folder and the
# folders of the layers below it in a stack it belongs to, nothing else (common/ is the bottom of
# every stack, so Tallymoor never reaches platform/ or wizard/). Includes are read in both forms,
# "..." and <...>; a "..." include that starts with ./ or ../, or names a file beside the including
# one, is taken relative to that file's folder, every other one relative to ROOT.
cd "${1:-$(dirname "$0")/..}" || exit 2
exec python3 - <<'EOF'
import os
import re
import sys

STACKS = {
    "kestro": """
        common
        platform
        wizard/core
        wizard/transfer wizard/zip
        wizard/connection wizard/selection
        wizard/rules
        wizard/pages
        wizard/ui/core
        wizard/ui/pages
        wizard/ui/connection wizard/ui/selection
        wizard/program
        wizard
    """,
    # The Qt services stand on the platform alone and serve the widgets only: the engine below the
    # widgets never includes them, and they include nothing of the wizard.
    "kestro widgets": """
        common
        platform
        platform/qt
        wizard/ui/core wizard/ui/pages wizard/ui/connection wizard/ui/selection wizard/program wizard
    """,
    "tallymoor": """
        common
        foldersize/services
        foldersize/scanner
        foldersize/start
        foldersize/ui/services
        foldersize/ui/scanner
        foldersize/program
        foldersize
    """,
    "tools": """
        common
        platform
        wizard/core
        tools/demo-network tools/regedit tools/scramble tools/winbatch
        tools/office-links
    """,
}
ROOTS = ("common", "platform", "wizard", "foldersize", "tools")
INCLUDE = re.compile(r'^\s*#\s*include\s*(?:"([^"]+)"|<([^>]+)>)', re.M)


def included_path(folder, quoted, angled):
    """The path below ROOT an include names (".." first when it leaves ROOT)."""
    if quoted is not None:
        beside = os.path.normpath(os.path.join(folder, quoted))
        if quoted.startswith(("./", "../")) or os.path.isfile(beside):
            return beside
        return os.path.normpath(quoted)
    return os.path.normpath(angled)


# For each folder, the folders it may include.
allowed = {}
for stack in STACKS.values():
    below = set()
    for line in stack.strip().splitlines():
        layer = line.split()
        for folder in layer:
            allowed.setdefault(folder, set()).update(below | {folder})
        below |= set(layer)

found = []
for root in ROOTS:
    for folder, subfolders, files in os.walk(root):
        subfolders.sort()
        sources = sorted(f for f in files if f.endswith((".cpp", ".h")))
        if sources and folder not in allowed:
            found.append(f"{folder}: a source folder in no layer of tools/check-layers.sh")
            continue
        for name in sources:
            path = os.path.join(folder, name)
            with open(path, encoding="utf-8", errors="replace") as f:
                text = f.read()
            for match in INCLUDE.finditer(text):
                written = match.group(1) if match.group(1) is not None else match.group(2)
                included = included_path(folder, match.group(1), match.group(2))
                target = os.path.dirname(included)
                if target.split("/")[0] not in ROOTS or target in allowed[folder]:
                    continue
                line = text.count("\n", 0, match.start()) + 1
                shown = f'"{written}"' if match.group(1) is not None else f"<{written}>"
                if included != written:
                    shown += f" ({included})"
                found.append(f"{path}:{line}: includes {shown} from a layer that is not below {folder}")
for entry in found:
    print(entry)
sys.exit(1 if found else 0)
EOF
