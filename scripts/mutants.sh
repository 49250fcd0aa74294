#!/usr/bin/env bash
# Mutation testing of the table tests/mutants.tsv; see scripts/mutants.py.
set -euo pipefail
exec python3 "$(dirname "$0")/mutants.py" "$@"
