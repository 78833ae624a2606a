#!/bin/sh
# check-limits.sh [PATH...]: lists production functions over 80 lines and production files over 700
# lines (data tables aside), and every call or use of the C library's locale-bound case functions
# (toupper, tolower, towupper, towlower) outside common/: a Turkish locale has no upper "i", so
# names compare through common/Text.h instead. Without PATHs it looks at every C++ file of the
# repository; the size limits pass over tests/, fuzz/ and bench/. Exits 1 when it lists anything.
#
# Heuristics, not a parser: comments and literals are blanked, then braces are matched. A block
# opened at namespace or class scope whose head holds "(" is a function (its length runs from the
# first line of its head to its closing brace). Brace initialisers ("... = {", "Type name{" at
# namespace scope) are data; their lines do not count towards a function or a file. A file whose
# lines are mostly data is a data table and is passed over.
cd "$(dirname "$0")/.." || exit 2
if [ "$#" -eq 0 ]; then
    set -- $(git ls-files '*.cpp' '*.h')
fi
exec python3 - "$@" <<'EOF'
import re
import sys

MAX_FUNCTION = int(__import__("os").environ.get("LIMIT_FUNCTION", 80))
MAX_FILE = 700


def blank_literals(text):
    """Comments, string and character literals become blanks; line ends stay."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == '_')):
            m = re.match(r'R"([^(\s]*)\(', text[i:])
            if not m:
                out.append(c)
                i += 1
                continue
            end = text.find(")" + m.group(1) + '"', i)
            j = n if end < 0 else end + len(m.group(1)) + 2
            out.append('""' + re.sub(r"[^\n]", " ", text[i + 2:j]))
            i = j
        elif c in "\"'":
            # A digit separator (1'000, 0xFF'FF) is no character literal; a prefixed literal
            # (u'0', L'x', u8'a') is one: the token before the quote starts with a digit only in
            # a number.
            k = i
            while k > 0 and (text[k - 1].isalnum() or text[k - 1] in "_'"):
                k -= 1
            if c == "'" and k < i and text[k].isdigit() and i + 1 < n and text[i + 1].isalnum():
                out.append(" ")
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            out.append(c + " " * (j - i - 2) + c if j - i >= 2 else c)
            i = j
        elif c == "#" and (i == 0 or text[i - 1] == "\n"):
            # Preprocessor lines (with their continuations) hold no blocks.
            j = i
            while True:
                k = text.find("\n", j)
                if k < 0:
                    k = n
                    break
                if text[k - 1] != "\\":
                    break
                j = k + 1
            out.append(re.sub(r"[^\n]", " ", text[i:k]))
            i = k
        else:
            out.append(c)
            i += 1
    return "".join(out)


SCOPE_WORDS = re.compile(r"\b(namespace|class|struct|union|extern)\b")
ENUM_WORD = re.compile(r"\benum\b")
ACCESS = re.compile(r"(?:^|[\s;{}])(public|protected|private|signals|Q_SIGNALS)(\s+(slots|Q_SLOTS))?\s*$")
INIT_LIST = re.compile(r"\)\s*(noexcept\s*)?:(?!:)")


def classify(head, parent):
    """The kind of block a "{" opens, from the text before it (since the last ; { or })."""
    h = head.strip()
    if parent in ("scope", "top"):
        if ENUM_WORD.search(h) or h.endswith("=") or h.endswith("]"):
            return "data"
        if "(" in h:
            # "X::X(int a) : m_a{a}" opens a member initialiser, not the body.
            if INIT_LIST.search(h) and re.search(r"[\w>]$", h):
                return "init"
            return "function"
        if SCOPE_WORDS.search(h) or h == "":
            return "scope"
        return "data"
    if parent == "function" or parent == "inner":
        if h.endswith(("=", "(", ",")):
            return "data"
        # "Type name{...}" declares a value; "else {", "do {", "try {" and local types do not.
        if SCOPE_WORDS.search(h) or ENUM_WORD.search(h):
            return "inner"
        if re.fullmatch(r"[\w:<>,\s*&]*[\w>]\s+\w+", h) and not re.search(r"\b(else|do|try)\s*$", h):
            return "data"
        return "inner"
    return parent  # inside data or an initialiser: more of the same


CASE_RETURN = re.compile(r"\s*(case\s+[^;]*?[^:]|default\s*):(?!:)\s*return\b[^;]*;\s*$")


def check(path, text):
    src = text.split("\n")
    code = blank_literals(text)
    lines_total = code.count("\n") + (0 if code.endswith("\n") else 1)
    stack = []  # (kind, start line, data lines inside)
    head_start = None
    head = []
    data_lines = 0
    functions = []
    line = 1
    for pos, c in enumerate(code):
        if c == "\n":
            line += 1
            head.append(c)
            continue
        if c == "{":
            parent = stack[-1][0] if stack else "top"
            kind = classify("".join(head), parent)
            start = head_start if head_start is not None else line
            stack.append([kind, start, line, 0])
            if kind != "init":
                head, head_start = [], None
            else:
                head.append(c)
            continue
        if c == "}":
            if not stack:
                continue
            kind, start, open_line, inner_data = stack.pop()
            if kind == "init":
                head.append(c)
                continue
            if kind == "data" and not (stack and stack[-1][0] == "data"):
                size = line - open_line + 1
                if stack:
                    stack[-1][3] += size
                    # Count it once, at the outermost owner.
                    for frame in stack[:-1]:
                        frame[3] += size
                data_lines += size
            elif kind == "function":
                # "case X: return value;" lines are a table written as a switch.
                cases = sum(1 for l in src[start - 1:line] if CASE_RETURN.match(l))
                length = line - start + 1 - inner_data - cases
                functions.append((start, length))
            head, head_start = [], None
            continue
        if c == ";":
            head, head_start = [], None
            continue
        if c == ":" and ACCESS.search("".join(head)) and code[pos + 1:pos + 2] != ":":
            # "public:" and the like end a head as ";" does.
            head, head_start = [], None
            continue
        if not c.isspace() and head_start is None:
            head_start = line
        head.append(c)
    findings = []
    if data_lines * 2 > lines_total:
        return findings  # a data table
    if lines_total - data_lines > MAX_FILE:
        findings.append(f"{path}: file of {lines_total - data_lines} lines (limit {MAX_FILE})")
    for start, length in functions:
        if length > MAX_FUNCTION:
            name = src[start - 1].strip()
            findings.append(f"{path}:{start}: function of {length} lines (limit {MAX_FUNCTION}): {name}")
    return findings


# A call, or the function itself passed on ("std::transform(..., ::toupper)", "&tolower"); a
# member of that name (f.toupper(c), facet->tolower(c)) is no C library function.
LOCALE_CASE = re.compile(
    r"(?<![\w.>])(?:std\s*::\s*|::\s*|&\s*)?(toupper|tolower|towupper|towlower)\b(?=\s*(?:[(),;>]|$))")


def check_case(path, text):
    """Calls and uses of the locale-bound case functions (comments and literals aside)."""
    findings = []
    for number, line in enumerate(blank_literals(text).split("\n"), 1):
        for m in LOCALE_CASE.finditer(line):
            findings.append(f"{path}:{number}: {m.group(1)} follows the locale; use common/Text.h")
    return findings


found = []
for path in sys.argv[1:]:
    if re.match(r"^(\./)?build/", path):
        continue
    sized = not re.match(r"^(\./)?(tests|fuzz|bench)/", path)
    cased = not re.match(r"^(\./)?common/", path)
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        found += check(path, text) if sized else []
        found += check_case(path, text) if cased else []
    except OSError as error:
        print(f"{path}: {error}", file=sys.stderr)
        sys.exit(2)
for entry in found:
    print(entry)
sys.exit(1 if found else 0)
EOF
