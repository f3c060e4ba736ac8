#!/usr/bin/env bash
# No include, quoted or angled, has a `..` segment: a folder reaches the
# floors below it through its library's include directory, and a path that
# climbs would reach past the floors the build lets it see, even from inside
# a floor it does see (`<model/../fields/x.h>` goes through the link to
# src/model and up to src/fields). The core's and the tools' layering is
# only as strong as this. Lists every such include and fails.
set -uo pipefail
radice="$(cd "${1:-$(dirname "$0")/../..}" && pwd)"
cd "$radice" || exit 2

trovate="$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^">]*[/\\])?\.\.([/\\]|[">])' \
  --include='*.cc' --include='*.h' --include='*.in' --include='*.cpp' --include='*.hpp' \
  src tools tests fuzz bench 2>/dev/null)"
if [ -n "$trovate" ]; then
  echo "inclusioni che risalgono con .. (includere dal piano della propria libreria):"
  echo "$trovate"
  exit 1
fi
echo "inclusioni: nessuna risale con .."
