#!/usr/bin/env bash
# Checks that the program's includes run one way:
#   shell -> contacts -> conversations -> app
# A file may include headers of its own folder or of a lower one. `shell/` holds the
# base services every manager may use, `app/` the composition root (start-up, the
# bootstrap that creates and links the managers, main). `artwork/` is a program of
# its own and includes only itself. Of the engine, only its public header
# TAPIInterface.h may be included.
# Prints every offending file and include and exits 1 when there is any.
# Usage: check-client-layers.sh [CLIENT_DIR]
set -uo pipefail

TREE=${1:-"$(dirname "$0")/../client"}
TREE=$(cd "$TREE" && pwd) || exit 2
LABEL=client
LAYERS="shell, contacts, conversations, app"

rank_of() {
  case "$1" in
    shell/*) echo 0 ;;
    contacts/*) echo 1 ;;
    conversations/*) echo 2 ;;
    app/*) echo 3 ;;
    artwork/*) echo 9 ;;
    *) echo -1 ;;
  esac
}

layer_of() {
  case "$1" in
    0) echo shell ;; 1) echo contacts ;; 2) echo conversations ;; 3) echo app ;;
    9) echo artwork ;; *) echo unknown ;;
  esac
}

# The program reaches the engine through its public header only; artwork not at all.
outside_allowed() { [ "$2" = TAPIInterface.h ] && [ "$1" -ne 9 ]; }
crossing_refused() {
  if [ "$1" -eq 9 ] && [ "$2" -ne 9 ]; then echo "artwork includes the program's"; fi
}

# shellcheck source=scripts/layers.sh
source "$(dirname "$0")/layers.sh"
check_layers
