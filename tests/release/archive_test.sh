#!/usr/bin/env bash
# The release archive as a person gets it: made by cpack, unpacked into a fresh folder, it
# holds exactly the listed programs, the guide and the data folder, and works from there
# under Wine: Vantry answers, orbello-host plays captures (animation, sounds) with the
# Orbello.dll and data folder beside it, and the guide names the version programs print.
# Usage: archive_test.sh BUILD_DIR CPACK WINE_RUN VANTRY_SMOKE_TEST
set -uo pipefail
build=$1 cpack=$2 runner=$3 smoke=$4
work="$build/archive-test"
status=0
fail() { echo "FAIL: $*"; status=1; }

rm -rf "$work" && mkdir -p "$work/unpacked" || exit 1
if ! (cd "$build" && "$cpack" -G ZIP -B "$work/package") >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack"
  exit 1
fi
zips=("$work"/package/*.zip)
[ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || { echo "FAIL: not one archive: ${zips[*]}"; exit 1; }
echo "archive: ${zips[0]##*/}"
(cd "$work/unpacked" && cmake -E tar xf "${zips[0]}") || { echo "FAIL: cannot unpack"; exit 1; }
dir="$work/unpacked/$(basename "${zips[0]}" .zip)"
[ -d "$dir" ] || { echo "FAIL: the archive has no folder ${dir##*/}"; exit 1; }

# Exactly the listed files and the data folder as the build made it.
expected=$( (tr -d '\r' <"$build/release/files.txt"; cd "$build/bin" && find data -type f) | sort)
actual=$(cd "$dir" && find . -type f | sed 's|^\./||' | sort)
if [ "$expected" != "$actual" ]; then
  fail "the archive's files differ from the list (< expected, > in the archive):"
  diff <(echo "$expected") <(echo "$actual")
fi

bash "$smoke" "$runner" "$dir/Vantry.exe" || fail "Vantry.exe from the archive"

# Eleven plies with three loop captures by Black; a missing picture, sound or DLL shows
# as an error, a closed message box or a missing move.
out=$(cd "$dir" && "$runner" orbello-host.exe --no-engine \
  --moves FBEC,EEDD,ECFD,BECD,FDDF,FEED,DFED,CEBD,EDDE,FFEE,DEDD --screenshot "$work/shot.bmp" 2>&1)
echo "$out" | tail -n 3
grep -q 'Black: DEDD' <<<"$out" || fail "orbello-host from the archive did not play the opening"
! grep -q 'orbello-host:' <<<"$out" || fail "orbello-host from the archive reported a problem"
[ -s "$work/shot.bmp" ] || fail "orbello-host from the archive saved no picture"

version=$(cd "$dir" && "$runner" dab-referee.exe --version 2>/dev/null | tr -d '\r')
version=${version#dab-referee }
echo "version: $version"
[ -n "$version" ] && grep -qF "$version" "$dir/README.txt" || fail "README.txt lacks the version '$version'"
grep -q $'\r$' "$dir/README.txt" || fail "README.txt lacks Windows line ends"

[ $status -eq 0 ] && echo "release archive: PASSED"
exit $status
