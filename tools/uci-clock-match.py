#!/usr/bin/env python3
"""Games between two UCI engines on a referee's clock, to catch time losses.

The referee keeps both clocks the way a match runner does: the time from
sending "go" to reading "bestmove" is charged to the mover, the increment is
added after the move, and a clock below zero loses the game on time. It knows
no chess rules: a game ends when the side to move answers "bestmove 0000" or
"(none)" (mated or stalemated), when a move is refused (Rotor answers an
illegal move with "info string"), or as a draw after MAX_PLIES.

  tools/uci-clock-match.py [-n GAMES] [-t SECONDS] [-i INCREMENT] ENGINE OTHER
  e.g. tools/uci-clock-match.py -n 4 -t 1 -i 0.01 build/rotor /usr/games/stockfish

Prints one line per game and a summary with the fewest milliseconds each
engine had left after a move. Engines alternate colours; ENGINE is White in
the first game. Options for an engine: ENGINE may be "path;Name=value;...".
"""
import argparse
import os
import select
import subprocess
import sys
import time

MAX_PLIES = 240


class Engine:
    def __init__(self, command_line):
        parts = command_line.split(";")
        self.name = parts[0]
        self.proc = subprocess.Popen(parts[0], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.pending = b""
        self.send("uci")
        self.wait_for("uciok")
        for option in parts[1:]:
            name, value = option.split("=", 1)
            self.send(f"setoption name {name} value {value}")

    def send(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()

    def read(self, timeout):
        """The next line of output, or None when none comes within the timeout."""
        end = time.monotonic() + timeout
        fd = self.proc.stdout.fileno()
        while b"\n" not in self.pending:
            left = end - time.monotonic()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                return None
            chunk = os.read(fd, 65536)
            if not chunk:
                return None
            self.pending += chunk
        line, self.pending = self.pending.split(b"\n", 1)
        return line.decode(errors="replace").rstrip("\r")

    def wait_for(self, prefix, timeout=30):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            line = self.read(end - time.monotonic())
            if line is None:
                break
            if line.startswith(prefix):
                return line
        raise RuntimeError(f"{self.name}: no {prefix}")

    def quit(self):
        self.send("quit")
        try:
            self.proc.wait(5)
        except subprocess.TimeoutExpired:
            self.proc.kill()


def play(white, black, base_ms, inc_ms):
    clocks = [base_ms, base_ms]
    moves = []
    engines = [white, black]
    for e in engines:
        e.send("ucinewgame")
        e.send("isready")
        e.wait_for("readyok")
    while len(moves) < MAX_PLIES:
        side = len(moves) % 2
        e = engines[side]
        e.send("position startpos" + (" moves " + " ".join(moves) if moves else ""))
        start = time.monotonic()
        e.send(f"go wtime {clocks[0]} btime {clocks[1]} winc {inc_ms} binc {inc_ms}")
        refused = False
        while True:
            line = e.read(max(clocks[side] / 1000 + 5, 1))
            if line is None:
                return ("0-1" if side == 0 else "1-0"), "no answer"
            if line.startswith("info string") and "illegal" in line:
                refused = True
            if line.startswith("bestmove"):
                break
        used = int((time.monotonic() - start) * 1000)
        clocks[side] -= used
        if clocks[side] < 0:
            return ("0-1" if side == 0 else "1-0"), f"{e.name} lost on time"
        e.lowest = min(e.lowest, clocks[side])
        clocks[side] += inc_ms
        if refused:
            return ("0-1" if side == 1 else "1-0"), f"{e.name} refused the last move"
        move = line.split()[1]
        if move in ("0000", "(none)"):
            return "*", f"{e.name} has no move (mate or stalemate)"
        moves.append(move)
    return "1/2-1/2", f"{MAX_PLIES} plies"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("-n", type=int, default=2)
    parser.add_argument("-t", type=float, default=10.0)
    parser.add_argument("-i", type=float, default=0.1)
    parser.add_argument("engine")
    parser.add_argument("other")
    args = parser.parse_args()
    base, inc = int(args.t * 1000), int(args.i * 1000)
    losses = 0
    lowest = {args.engine: base, args.other: base}
    for game in range(args.n):
        a, b = Engine(args.engine), Engine(args.other)
        a.lowest, b.lowest = base, base
        white, black = (a, b) if game % 2 == 0 else (b, a)
        result, why = play(white, black, base, inc)
        lowest[args.engine] = min(lowest[args.engine], a.lowest)
        lowest[args.other] = min(lowest[args.other], b.lowest)
        losses += "on time" in why
        print(f"game {game + 1}: {white.name} - {black.name}: {result} ({why})", flush=True)
        a.quit()
        b.quit()
    print(f"{args.n} games at {args.t}+{args.i}: {losses} lost on time; fewest ms left after a move: " +
          ", ".join(f"{name.split(';')[0]} {ms}" for name, ms in lowest.items()))
    return 1 if losses else 0


if __name__ == "__main__":
    sys.exit(main())
