#!/bin/sh
# check-layers-test.sh: the repository keeps its layers (tools/check-layers.sh passes on it), and
# the check names an include of a folder above (also written relative or in angle brackets), one of
# a folder beside, the Qt services reaching the wizard, and a folder in no layer.
set -eu
check=$(dirname "$0")/../../tools/check-layers.sh
sh "$check"
work=$(mktemp -d /tmp/kestro-layers-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/wizard/core" "$work/wizard/connection" "$work/wizard/extra" "$work/foldersize" "$work/platform/qt"
printf '#include "common/Text.h"\n#include "wizard/core/B.h"\n#include <QWidget>\n' >"$work/wizard/core/A.h"
printf '#include "wizard/core/A.h"\n#include "wizard/ui/core/KestroMain.h"\n' >"$work/wizard/core/B.cpp"
printf '#include "A.h"\n#include "../ui/core/KestroMain.h"\n#  include <wizard/ui/core/KestroMain.h>\n#include "platform/qt/QtServices.h"\n' >"$work/wizard/core/E.cpp"
printf '#include "platform/MessageBox.h"\n#include "wizard/core/WizardState.h"\n#include <wizard/ui/core/FrmKestro.h>\n' >"$work/platform/qt/F.cpp"
printf '#include "wizard/selection/SelectionTree.h"\n' >"$work/wizard/connection/C.cpp"
printf '#include "platform/Machine.h"\n' >"$work/foldersize/main.cpp"
printf '\n' >"$work/wizard/extra/D.h"
status=0
sh "$check" "$work" >"$work/out" || status=$?
cat >"$work/expected" <<'END'
platform/qt/F.cpp:2: includes "wizard/core/WizardState.h" from a layer that is not below platform/qt
platform/qt/F.cpp:3: includes <wizard/ui/core/FrmKestro.h> from a layer that is not below platform/qt
wizard/connection/C.cpp:1: includes "wizard/selection/SelectionTree.h" from a layer that is not below wizard/connection
wizard/core/B.cpp:2: includes "wizard/ui/core/KestroMain.h" from a layer that is not below wizard/core
wizard/core/E.cpp:2: includes "../ui/core/KestroMain.h" (wizard/ui/core/KestroMain.h) from a layer that is not below wizard/core
wizard/core/E.cpp:3: includes <wizard/ui/core/KestroMain.h> from a layer that is not below wizard/core
wizard/core/E.cpp:4: includes "platform/qt/QtServices.h" from a layer that is not below wizard/core
wizard/extra: a source folder in no layer of tools/check-layers.sh
foldersize/main.cpp:1: includes "platform/Machine.h" from a layer that is not below foldersize
END
[ "$status" -eq 1 ] || { echo "FAIL: exit $status on a tree with faults"; exit 1; }
diff "$work/expected" "$work/out"
echo "layer check: passes on the repository, names each fault of the made-up tree"
