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

CLIENT=${1:-"$(dirname "$0")/../client"}
CLIENT=$(cd "$CLIENT" && pwd) || exit 2
ENGINE_HEADER=TAPIInterface.h

# The rank of a program file, given as a path relative to the client folder.
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

# Resolves an include as the compiler would: beside the including file first, then
# from the client folder. Prints the path relative to the client folder, or nothing
# when the header is not a program file.
resolve() {
  local dir=$1 name=$2 path
  for path in "$dir/$name" "$CLIENT/$name"; do
    if [ -f "$path" ]; then
      case "$path" in */./* | */../*) path=$(realpath -m "$path") ;; esac
      case "$path" in
        "$CLIENT"/*) echo "${path#"$CLIENT"/}" ;;
      esac
      return
    fi
  done
}

failures=0
checked=0
while IFS= read -r -d '' file; do
  rel=${file#"$CLIENT"/}
  own=$(rank_of "$rel")
  checked=$((checked + 1))
  if [ "$own" -lt 0 ]; then
    echo "client/$rel: not in any layer (shell, contacts, conversations, app)"
    failures=$((failures + 1))
    continue
  fi
  while IFS= read -r line; do
    number=${line%%:*}
    [[ $line =~ include[[:space:]]*\"([^\"]+)\" ]] || continue
    name=${BASH_REMATCH[1]}
    target=$(resolve "${file%/*}" "$name")
    if [ -z "$target" ]; then
      [ "$name" = "$ENGINE_HEADER" ] && [ "$own" -ne 9 ] && continue
      echo "client/$rel:$number: includes \"$name\", which is neither a program header nor the engine's public header"
      failures=$((failures + 1))
      continue
    fi
    theirs=$(rank_of "$target")
    if [ "$own" -eq 9 ] && [ "$theirs" -ne 9 ]; then
      echo "client/$rel:$number: artwork includes \"$name\" of the program"
      failures=$((failures + 1))
    elif [ "$theirs" -gt "$own" ] || [ "$theirs" -lt 0 ]; then
      echo "client/$rel:$number: $(layer_of "$own") includes \"$name\" of the higher layer $(layer_of "$theirs")"
      failures=$((failures + 1))
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file")
done < <(find "$CLIENT" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

if [ "$checked" -eq 0 ]; then
  echo "no program sources found under $CLIENT"
  exit 2
fi
if [ "$failures" -ne 0 ]; then
  echo "$failures include(s) against the program's layering in $checked files"
  exit 1
fi
echo "program layering holds in $checked files"
