#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file of the tree states its licence in its first lines; prints the ones that do not.
set -euo pipefail
cd "${1:?usage: licence_check.sh PROJECT_ROOT}"
tag='SPDX-License-Identifier: GPL-3.0-or-later'
missing=0
while IFS= read -r -d '' file; do
    if ! head -n 3 "$file" | grep -qF "$tag"; then
        echo "no licence line: $file"
        missing=1
    fi
done < <(find . \( -path './build*' -o -path ./.git -o -path ./.cache \) -prune -o -type f \
    \( -name '*.cpp' -o -name '*.h' -o -name '*.in' -o -name '*.sh' -o -name '*.py' -o -name '*.cmake' \
    -o -name '*.nsi' -o -name CMakeLists.txt -o -path ./.ci/run \) -print0)
exit "$missing"
