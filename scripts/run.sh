#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the program and starts it on a working copy of the demo competition.
# The copy lives in build/demo/; a later run keeps what an earlier one saved there.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target ntbmelde
mkdir -p build/demo
[ -f build/demo/EXCHANGE.NT2 ] || cp data/EXCHANGE.NT2 build/demo/EXCHANGE.NT2
exec build/src/ntbmelde/ntbmelde "$PWD/build/demo/EXCHANGE.NT2"
