#!/bin/sh
# Remakes the example document data/examples/beispiel.sbl from its generator (the test helper
# tests/view/example_document.cpp, built into test_view) and exports it to PDF beside the
# build, so that its pages can be looked at:
#
#   tools/make_example/make_example.sh BUILD_DIR
#
# then e.g. pdftoppm -png -r 80 BUILD_DIR/beispiel.pdf BUILD_DIR/beispiel
set -eu
build=${1:?"Aufruf: make_example.sh BUILD_DIR"}
root=$(cd "$(dirname "$0")/../.." && pwd)
cmake --build "$build" --target test_view paginor-cli
PAGINOR_WRITE_EXAMPLE="$root/data/examples/beispiel.sbl" \
  "$build/bin/test_view" --gtest_filter='ExampleDocument.*'
"$build/bin/paginor-cli" convert "$root/data/examples/beispiel.sbl" "$build/beispiel.pdf"
echo "$root/data/examples/beispiel.sbl und $build/beispiel.pdf geschrieben."
