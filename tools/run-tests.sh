#!/usr/bin/env bash
# Builds the program and runs every test (benchmarks excluded). Starts the
# sound server the playback tests use, when none runs yet.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${KB_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j "$(nproc)"

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/kb-runtime-$(id -u)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
if command -v pulseaudio >/dev/null && ! pulseaudio --check 2>/dev/null; then
    pulseaudio -n --daemonize=yes --exit-idle-time=-1 \
        --load=module-null-sink --load=module-native-protocol-unix >/dev/null 2>&1 || true
fi

# A test that fails is run once more before the run counts as failed: a
# process that has played through the sound server can abort while it exits
# (Qt Multimedia closes its PulseAudio connection from an exit handler while
# that connection's thread still dispatches). The program itself ends
# without those handlers; test processes that play in-process do not. A test
# that fails twice still fails the run, and every failure stays in the output.
ctest --test-dir "$build_dir" -j "$(nproc)" --output-on-failure --repeat until-pass:2
