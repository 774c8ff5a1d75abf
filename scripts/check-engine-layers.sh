#!/usr/bin/env bash
# Checks that the engine's includes run one way:
#   platform -> base -> util/db -> net -> services -> core -> facade
# A file may include headers of its own layer or of a lower one. The facade is the
# public header engine/TAPIInterface.h and the sources core/TAPIInterface*.cpp.
# Prints every offending file and include and exits 1 when there is any.
# Usage: check-engine-layers.sh [ENGINE_DIR]
set -uo pipefail

ENGINE=${1:-"$(dirname "$0")/../engine"}
ENGINE=$(cd "$ENGINE" && pwd) || exit 2

# The rank of an engine file, given as a path relative to the engine folder.
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

# Resolves an include as the compiler would: beside the including file first, then
# from the engine folder (the one include directory). Prints the path relative to
# the engine folder, or nothing when the header is not an engine file.
resolve() {
  local dir=$1 name=$2 path
  for path in "$dir/$name" "$ENGINE/$name"; do
    if [ -f "$path" ]; then
      case "$path" in */./* | */../*) path=$(realpath -m "$path") ;; esac
      case "$path" in
        "$ENGINE"/*) echo "${path#"$ENGINE"/}" ;;
      esac
      return
    fi
  done
}

failures=0
checked=0
while IFS= read -r -d '' file; do
  rel=${file#"$ENGINE"/}
  own=$(rank_of "$rel")
  checked=$((checked + 1))
  if [ "$own" -lt 0 ]; then
    echo "engine/$rel: not in any layer (platform, base, util, db, net, services, core)"
    failures=$((failures + 1))
    continue
  fi
  while IFS= read -r line; do
    number=${line%%:*}
    [[ $line =~ include[[:space:]]*\"([^\"]+)\" ]] || continue
    name=${BASH_REMATCH[1]}
    target=$(resolve "${file%/*}" "$name")
    if [ -z "$target" ]; then
      echo "engine/$rel:$number: includes \"$name\", which is no engine header"
      failures=$((failures + 1))
      continue
    fi
    theirs=$(rank_of "$target")
    if [ "$theirs" -gt "$own" ] || [ "$theirs" -lt 0 ]; then
      echo "engine/$rel:$number: $(layer_of "$own") includes \"$name\" of the higher layer $(layer_of "$theirs")"
      failures=$((failures + 1))
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file")
done < <(find "$ENGINE" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

if [ "$checked" -eq 0 ]; then
  echo "no engine sources found under $ENGINE"
  exit 2
fi
if [ "$failures" -ne 0 ]; then
  echo "$failures include(s) against the engine's layering in $checked files"
  exit 1
fi
echo "engine layering holds in $checked files"
