#!/usr/bin/env bash
# Builds everything and runs every test, twice:
#   build/       optimised with debug information: library, tests, the
#                benchmarks (compiled, not run), examples, and the Cairo
#                surface and the command-line program when present
#   build-asan/  the same with AddressSanitizer and UndefinedBehaviorSanitizer
#                (no benchmarks)
# Exits nonzero when anything fails; both builds run either way.
#
#   scripts/test.sh
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root" || exit 1
jobs="${KAVOTBL_JOBS:-2}"

bash scripts/setup.sh || exit 1

# Sanitizer reports carry a stack; the build already makes every finding fatal.
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-strict_init_order=1:detect_stack_use_after_return=1}"
# Test groups that set no environment of their own get the leak suppressions too.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}"

failed=()

# build_and_test DIR CMAKE-ARGS...: configure, build and run the tests of one tree.
build_and_test() {
    local dir="$1"
    shift
    local start=$SECONDS
    echo "=== $dir: configure"
    cmake -S . -B "$dir" -DKAVOTBL_BUILD_TESTS=ON -DKAVOTBL_BUILD_EXAMPLES=ON -DKAVOTBL_BUILD_CAIRO=ON "$@" \
        || { failed+=("$dir: configure"); return; }
    echo "=== $dir: build"
    cmake --build "$dir" --parallel "$jobs" || { failed+=("$dir: build"); return; }
    echo "=== $dir: test"
    ctest --test-dir "$dir" --output-on-failure --parallel "$jobs" || failed+=("$dir: tests")
    echo "=== $dir: $((SECONDS - start)) s"
}

build_and_test build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVOTBL_BUILD_BENCHMARKS=ON -DKAVOTBL_SANITIZE=OFF
build_and_test build-asan -DCMAKE_BUILD_TYPE=Debug -DKAVOTBL_BUILD_BENCHMARKS=OFF -DKAVOTBL_SANITIZE=ON

if [ ${#failed[@]} -ne 0 ]; then
    printf 'FAILED: %s\n' "${failed[@]}"
    exit 1
fi
echo "all builds and tests passed"
