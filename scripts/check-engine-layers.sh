#!/usr/bin/env bash
# Checks that the engine's includes run one way:
#   platform -> base -> util/db -> net -> services -> core -> facade
# A file may include headers of its own layer or of a lower one. The facade is the
# public header engine/TAPIInterface.h and the sources core/TAPIInterface*.cpp.
# Prints every offending file and include and exits 1 when there is any.
# Usage: check-engine-layers.sh [ENGINE_DIR]
set -uo pipefail

TREE=${1:-"$(dirname "$0")/../engine"}
TREE=$(cd "$TREE" && pwd) || exit 2
LABEL=engine
LAYERS="platform, base, util, db, net, services, core"

rank_of() {
  case "$1" in
    TAPIInterface.h | core/TAPIInterface*.cpp) echo 6 ;;
    platform/*) echo 0 ;;
    base/*) echo 1 ;;
    util/* | db/*) echo 2 ;;
    net/*) echo 3 ;;
    services/*) echo 4 ;;
    core/*) echo 5 ;;
    *) echo -1 ;;
  esac
}

layer_of() {
  case "$1" in
    6) echo facade ;; 0) echo platform ;; 1) echo base ;; 2) echo util/db ;;
    3) echo net ;; 4) echo services ;; 5) echo core ;; *) echo unknown ;;
  esac
}

# Every quoted include is an engine header.
outside_allowed() { return 1; }
crossing_refused() { :; }

# shellcheck source=scripts/layers.sh
source "$(dirname "$0")/layers.sh"
check_layers
