# Shared by check-engine-layers.sh and check-client-layers.sh: walks every .h and .cpp
# of a tree and checks each quoted include against the tree's layering.
# The including script sets TREE (absolute folder), LABEL (its name in messages),
# LAYERS (the layer names, for the "not in any layer" line) and defines:
#   rank_of REL            the rank of a file given relative to TREE, -1 when none
#   layer_of RANK          the layer's name
#   outside_allowed OWN NAME   0 when an include that is no file of the tree is fine
#   crossing_refused OWN THEIRS  prints a reason when an include across layers is
#                          refused beyond "a higher layer" (may print nothing)
# Then it calls check_layers; the exit status is 1 on any offence, 2 when no source.

# Resolves an include as the compiler would: beside the including file first, then
# from the tree's folder. Prints the path relative to the tree, or nothing when the
# header is not a file of the tree.
resolve() {
  local dir=$1 name=$2 path
  for path in "$dir/$name" "$TREE/$name"; do
    if [ -f "$path" ]; then
      case "$path" in */./* | */../*) path=$(realpath -m "$path") ;; esac
      case "$path" in
        "$TREE"/*) echo "${path#"$TREE"/}" ;;
      esac
      return
    fi
  done
}

check_layers() {
  local failures=0 checked=0 file rel own line number name target theirs reason
  while IFS= read -r -d '' file; do
    rel=${file#"$TREE"/}
    own=$(rank_of "$rel")
    checked=$((checked + 1))
    if [ "$own" -lt 0 ]; then
      echo "$LABEL/$rel: not in any layer ($LAYERS)"
      failures=$((failures + 1))
      continue
    fi
    while IFS= read -r line; do
      number=${line%%:*}
      [[ $line =~ include[[:space:]]*\"([^\"]+)\" ]] || continue
      name=${BASH_REMATCH[1]}
      target=$(resolve "${file%/*}" "$name")
      if [ -z "$target" ]; then
        outside_allowed "$own" "$name" && continue
        echo "$LABEL/$rel:$number: includes \"$name\", which is no header of its own"
        failures=$((failures + 1))
        continue
      fi
      theirs=$(rank_of "$target")
      reason=$(crossing_refused "$own" "$theirs")
      if [ -n "$reason" ]; then
        echo "$LABEL/$rel:$number: $reason \"$name\""
        failures=$((failures + 1))
      elif [ "$theirs" -gt "$own" ] || [ "$theirs" -lt 0 ]; then
        echo "$LABEL/$rel:$number: $(layer_of "$own") includes \"$name\" of the higher layer $(layer_of "$theirs")"
        failures=$((failures + 1))
      fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file")
  done < <(find "$TREE" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

  if [ "$checked" -eq 0 ]; then
    echo "no $LABEL sources found under $TREE"
    return 2
  fi
  if [ "$failures" -ne 0 ]; then
    echo "$failures include(s) against the $LABEL's layering in $checked files"
    return 1
  fi
  echo "$LABEL layering holds in $checked files"
}
