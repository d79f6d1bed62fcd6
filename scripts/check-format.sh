#!/bin/sh
# Fails when a C++ file of the repository is not formatted as .clang-format
# says; names each such file with its first difference. Fix with:
#   git ls-files '*.cpp' '*.h' | xargs clang-format-14 -i
# (version 14, Debian 12's: another version formats a little differently).
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh format
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run -Werror --ferror-limit=1
echo "check-format: every C++ file is formatted"
