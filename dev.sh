#!/usr/bin/env bash
# One entry point for building locmodel on Debian 12: installs the Debian
# packages that are missing, configures, builds and runs.
#
#   ./dev.sh demo        build the CLI and run it on a shipped sample
#   ./dev.sh test        build everything and run the whole test suite
#   ./dev.sh sanitize    the test suite under AddressSanitizer + UBSan
#   ./dev.sh fuzz [SEC]  every fuzz target for SEC seconds (default 30)
#   ./dev.sh bench       the benchmarks (Release build)
set -euo pipefail
cd "$(dirname "$0")"

jobs=$(nproc 2>/dev/null || echo 2)
build_packages="cmake g++ make ccache pkg-config libgtest-dev libbenchmark-dev libcereal-dev libxml2-dev"
fuzz_packages="clang libclang-rt-14-dev"
python_packages="python3-dev pybind11-dev python3-pytest"
lib_packages=$(grep -v '^#' cmake/dependencies.txt | awk 'NF {print $1}' | sort -u | tr '\n' ' ')

ensure_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure() {  # configure DIR [cmake options...]
  local dir=$1; shift
  local launcher=()
  # Rebuilds of unchanged sources (other checkouts, CI's fresh clone) come
  # from the compiler cache when there is one.
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  # The Python module is built for the Debian interpreter its packages serve.
  local python=()
  if [ -x /usr/bin/python3 ]; then python=(-DPython3_EXECUTABLE=/usr/bin/python3); fi
  cmake -S . -B "$dir" -G "Unix Makefiles" "${launcher[@]}" "${python[@]}" "$@" >/dev/null
}

case "${1:-}" in
  demo)
    ensure_packages $build_packages $lib_packages
    configure build -DLOCMODEL_TESTS=ON
    cmake --build build -j"$jobs" --target locmodel_cli_main
    rm -rf build/demo
    ./build/tools/locmodel demo build/demo
    ;;
  test)
    ensure_packages $build_packages $lib_packages $python_packages
    configure build -DLOCMODEL_TESTS=ON -DLOCMODEL_PYTHON=ON
    cmake --build build -j"$jobs"
    ctest --test-dir build --output-on-failure -j"$jobs"
    ;;
  sanitize)
    ensure_packages $build_packages $lib_packages $python_packages
    configure build-asan -DCMAKE_BUILD_TYPE=Debug -DLOCMODEL_SANITIZE=address,undefined
    cmake --build build-asan -j"$jobs"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      ctest --test-dir build-asan --output-on-failure -j"$jobs"
    ;;
  fuzz)
    seconds=${2:-30}
    ensure_packages $build_packages $lib_packages $fuzz_packages
    CC=clang CXX=clang++ configure build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DBUILD_SHARED_LIBS=OFF -DLOCMODEL_TESTS=OFF -DLOCMODEL_FUZZ=ON
    cmake --build build-fuzz -j"$jobs"
    for target in build-fuzz/fuzz/fuzz_*; do
      name=$(basename "$target"); name=${name#fuzz_}
      corpus=build-fuzz/corpus/$name
      mkdir -p "$corpus"
      [ -d fuzz/corpus/$name ] && cp -n fuzz/corpus/$name/* "$corpus"/ 2>/dev/null || true
      echo "== fuzzing $name for ${seconds}s"
      "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
      [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "fuzz target $name failed"; exit 1; }
    done
    ;;
  bench)
    ensure_packages $build_packages $lib_packages
    configure build-bench -DCMAKE_BUILD_TYPE=Release -DLOCMODEL_TESTS=OFF -DLOCMODEL_BENCH=ON
    cmake --build build-bench -j"$jobs"
    ./build-bench/bench/locmodel_bench "${@:2}"
    ;;
  *)
    sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
