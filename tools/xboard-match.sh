#!/usr/bin/env bash
# A match between Rotor and another xboard-protocol engine under the real
# xboard on a virtual display, with no window to look at. Rotor plays first
# in the first game; xboard alternates colours. The games go to
# OUT/games.pgn, xboard's protocol log to OUT/xboard.debug, and one line per
# game is printed: the players, the result and xboard's reason for it.
#   usage: tools/xboard-match.sh [-n GAMES] [-d DIR] [-o OUT] OPPONENT [XBOARD-OPTION...]
#     DIR  the folder holding rotor and book.dat (default: play, as made by
#          `make run`); OUT  default: /tmp/rotor-match
#   e.g.   tools/xboard-match.sh -n 4 "setarch x86_64 -R /usr/games/fairymax" -tc 1 -mps 40
# Needs the Debian packages xboard and xvfb (xvfb-run).
set -euo pipefail

games=2
dir=play
out=/tmp/rotor-match
while getopts "n:d:o:" option; do
  case $option in
    n) games=$OPTARG ;;
    d) dir=$OPTARG ;;
    o) out=$OPTARG ;;
    *) sed -n '2,11p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[ $# -ge 1 ] || { sed -n '2,11p' "$0" >&2; exit 2; }
opponent=$1
shift
[ $# -gt 0 ] || set -- -tc 5 -mps 40

[ -x "$dir/rotor" ] || { echo "xboard-match: no rotor in $dir (run make run first)" >&2; exit 2; }
dir=$(cd "$dir" && pwd)
xboard=$(command -v xboard || echo /usr/games/xboard)
command -v xvfb-run >/dev/null || { echo "xboard-match: needs xvfb-run (Debian package xvfb)" >&2; exit 2; }
mkdir -p "$out"
rm -f "$out/games.pgn"

xvfb-run -a "$xboard" -fcp ./rotor -fd "$dir" -scp "$opponent" -sd "$out" \
  -matchGames "$games" -saveGameFile "$out/games.pgn" -debug -nameOfDebugFile "$out/xboard.debug" \
  -autoCallFlag true -popupExitMessage false -xponder "$@" >"$out/xboard.out" 2>&1 || true

[ -s "$out/games.pgn" ] || { echo "xboard-match: no game was saved; see $out/xboard.out" >&2; exit 1; }
# One line per game: White - Black: result {reason}.
awk '/^\[White /{w=$0; sub(/^\[White "/, "", w); sub(/"\]$/, "", w)}
     /^\[Black /{b=$0; sub(/^\[Black "/, "", b); sub(/"\]$/, "", b)}
     /^\[Result /{r=$0; sub(/^\[Result "/, "", r); sub(/"\]$/, "", r)}
     /\{/ {why=$0; sub(/^.*\{/, "{", why); sub(/\}.*$/, "}", why)}
     /^$/ && r != "" && seen {print w " - " b ": " r " " why; r=""; why=""; seen=0; next}
     /^[0-9]+\./ {seen=1}
     END {if (r != "") print w " - " b ": " r " " why}' "$out/games.pgn"
