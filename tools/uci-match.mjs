// A small UCI match runner for machines where the prebuilt fastchess does not
// start (it needs AVX-512). chess.js referees; the clocks are kept as a match
// runner keeps them: the time from "go" to "bestmove" is charged to the mover,
// the increment is added after the move, a clock below zero loses.
//   cp tools/uci-match.mjs $W && cd $W && npm install chess.js@1.4.0
//   node uci-match.mjs --e1 'name=new;cmd=PATH;dir=DIR;Opt=V' --e2 '...' --tc 4+0.04
//        --openings FILE.pgn [--each 'Opt=V;Opt=V'] [--rounds N] [--seed S] [--conc 2]
//        [--sprt] [--adjudicate] [--out DIR]
// A round is one opening played twice, colours swapped. --sprt stops at the
// bounds of SPRT(0, 5) with alpha = beta = 0.05 (LLR from the game pairs);
// --adjudicate ends a game when the last three scores of both engines are
// 1000 or more for one side, or after move 40 when eight moves each stay
// within 10 centipawns. The running result goes to stdout and OUT/summary.txt,
// one line per game to OUT/games.log.
import { Chess } from 'chess.js';
import { spawn } from 'child_process';
import fs from 'fs';

const args = process.argv.slice(2);
const opt = (name, def) => { const i = args.indexOf('--' + name); return i >= 0 ? args[i + 1] : def; };
const flag = (name) => args.includes('--' + name);

function parseEngine(s, each) {
  const config = { options: {} };
  for (const part of (each ? each + ';' : '').concat(s).split(';').filter(Boolean)) {
    const k = part.slice(0, part.indexOf('=')), v = part.slice(part.indexOf('=') + 1);
    if (k === 'name' || k === 'cmd' || k === 'dir') config[k] = v; else config.options[k] = v;
  }
  config.dir = config.dir || process.cwd();
  return config;
}
const each = opt('each', '');
const engines = [parseEngine(opt('e1'), each), parseEngine(opt('e2'), each)];
const [baseS, incS] = opt('tc', '4+0.04').split('+');
const BASE = parseFloat(baseS) * 1000, INC = parseFloat(incS || '0') * 1000;
const ROUNDS = parseInt(opt('rounds', '500'));
const CONC = parseInt(opt('conc', '2'));
const OUT = opt('out', '.');
const SPRT = flag('sprt');
const ADJ = flag('adjudicate');
let seed = parseInt(opt('seed', '1'));
fs.mkdirSync(OUT, { recursive: true });
const logFile = fs.createWriteStream(OUT + '/games.log', { flags: 'a' });

// Openings: the movetext of each PGN game, shuffled by the seed.
const pgn = fs.readFileSync(opt('openings', '../shared/openings/openings-500.pgn'), 'utf8');
const openings = pgn.split(/\n\s*\n/).filter(b => !b.trim().startsWith('[')).map(b =>
  b.replace(/\d+\./g, ' ').replace(/\*/g, ' ').trim().split(/\s+/).filter(Boolean));
function rnd() { seed = (seed * 1103515245 + 12345) % 2147483648; return seed / 2147483648; }
for (let i = openings.length - 1; i > 0; --i) { const j = Math.floor(rnd() * (i + 1)); [openings[i], openings[j]] = [openings[j], openings[i]]; }

class Engine {
  constructor(config) { this.config = config; this.start(); }
  start() {
    this.proc = spawn(this.config.cmd, [], { cwd: this.config.dir, stdio: ['pipe', 'pipe', 'ignore'] });
    this.buf = ''; this.waiter = null; this.lines = []; this.dead = false;
    this.proc.on('exit', () => { this.dead = true; if (this.waiter) this.waiter.fail('exit'); });
    this.proc.stdin.on('error', () => {});
    this.proc.stdout.on('data', d => {
      this.buf += d.toString();
      let i;
      while ((i = this.buf.indexOf('\n')) >= 0) {
        const line = this.buf.slice(0, i).trim(); this.buf = this.buf.slice(i + 1);
        this.onLine(line);
      }
    });
  }
  onLine(line) {
    if (!this.waiter) return;
    this.waiter.seen(line);
    if (this.waiter.test(line)) { const w = this.waiter; this.waiter = null; clearTimeout(w.timer); w.resolve(line); }
  }
  send(s) { if (!this.dead) this.proc.stdin.write(s + '\n'); }
  wait(test, ms, seen = () => {}) {
    return new Promise((resolve, reject) => {
      const w = { test, seen, resolve, fail: (why) => { this.waiter = null; clearTimeout(w.timer); reject(new Error(why)); } };
      w.timer = setTimeout(() => w.fail('timeout'), ms);
      this.waiter = w;
    });
  }
  async init() {
    this.send('uci');
    await this.wait(l => l === 'uciok', 10000);
    for (const [k, v] of Object.entries(this.config.options)) this.send(`setoption name ${k} value ${v}`);
    await this.ready();
  }
  async ready() { this.send('isready'); await this.wait(l => l === 'readyok', 10000); }
  kill() { try { this.proc.kill('SIGKILL'); } catch {} }
}

function uciOf(m) { return m.from + m.to + (m.promotion || ''); }

// Plays one game; returns {result: '1-0'|'0-1'|'1/2-1/2', reason}.
async function playGame(white, black, opening) {
  const chess = new Chess();
  for (const san of opening) chess.move(san);
  const moves = chess.history({ verbose: true }).map(uciOf);
  const clock = { w: BASE, b: BASE };
  const scores = [];
  for (const e of [white, black]) { e.send('ucinewgame'); await e.ready(); }
  for (;;) {
    if (chess.isCheckmate()) return { result: chess.turn() === 'w' ? '0-1' : '1-0', reason: 'mate' };
    if (chess.isStalemate()) return { result: '1/2-1/2', reason: 'stalemate' };
    if (chess.isInsufficientMaterial()) return { result: '1/2-1/2', reason: 'material' };
    if (chess.isThreefoldRepetition()) return { result: '1/2-1/2', reason: 'repetition' };
    if (chess.isDraw()) return { result: '1/2-1/2', reason: 'fifty' };   // the other draws are caught above
    if (moves.length > 600) return { result: '1/2-1/2', reason: 'length' };
    const side = chess.turn(), mover = side === 'w' ? white : black;
    const lose = side === 'w' ? '0-1' : '1-0';
    mover.send('position startpos' + (moves.length ? ' moves ' + moves.join(' ') : ''));
    let score = null;
    const t0 = performance.now();
    mover.send(`go wtime ${Math.round(clock.w)} btime ${Math.round(clock.b)} winc ${INC} binc ${INC}`);
    let line;
    try {
      line = await mover.wait(l => l.startsWith('bestmove'), clock[side] + 5000, l => {
        const m = l.match(/ score (cp|mate) (-?\d+)/);
        if (m && !l.includes('lowerbound') && !l.includes('upperbound')) score = m[1] === 'cp' ? +m[2] : (+m[2] > 0 ? 30000 : -30000);
      });
    } catch (e) { return { result: lose, reason: 'engine ' + e.message, kill: mover }; }
    const used = performance.now() - t0;
    const tu = timeUse[mover.config.name] || (timeUse[mover.config.name] = { ms: 0, moves: 0, left50: 0, n50: 0 });
    tu.ms += used; tu.moves++;
    if (moves.length >= 98 && moves.length <= 99) { tu.left50 += clock[side] - used; tu.n50++; }
    clock[side] -= used;
    if (clock[side] < 0) return { result: lose, reason: `time (${Math.round(clock[side])} ms)` };
    clock[side] += INC;
    const uci = line.split(/\s+/)[1] || '';
    let ok = false;
    try { ok = !!chess.move({ from: uci.slice(0, 2), to: uci.slice(2, 4), promotion: uci[4] }); } catch { ok = false; }
    if (!ok) return { result: lose, reason: 'illegal ' + uci };
    moves.push(uci);
    scores.push(score === null ? null : (side === 'w' ? score : -score));   // white's view
    if (ADJ && scores.length >= 6) {
      const last = scores.slice(-6);
      if (last.every(s => s !== null && s >= 1000)) return { result: '1-0', reason: 'adjudicated' };
      if (last.every(s => s !== null && s <= -1000)) return { result: '0-1', reason: 'adjudicated' };
      if (moves.length >= 80 && scores.length >= 16 && scores.slice(-16).every(s => s !== null && Math.abs(s) <= 10))
        return { result: '1/2-1/2', reason: 'adjudicated draw' };
    }
  }
}

// Results from engine 1's side.
const timeUse = {};
const stats = { w: 0, l: 0, d: 0, penta: [0, 0, 0, 0, 0], reasons: {} };
let nextRound = 0, stop = false;
const started = Date.now();

function elo(s) { return -400 * Math.log10(1 / s - 1); }
function summary() {
  const n = stats.w + stats.l + stats.d;
  const pairs = stats.penta.reduce((a, b) => a + b, 0);
  let text = `games ${n}: ${stats.w}-${stats.l}-${stats.d} (W-L-D for ${engines[0].name})`;
  if (pairs > 0) {
    const vals = [0, 0.25, 0.5, 0.75, 1];
    const m = stats.penta.reduce((a, c, i) => a + c * vals[i], 0) / pairs;
    const v = stats.penta.reduce((a, c, i) => a + c * (vals[i] - m) ** 2, 0) / pairs;
    const se = Math.sqrt(v / pairs);
    const clamp = x => Math.min(Math.max(x, 1e-6), 1 - 1e-6);
    text += ` | Elo ${elo(clamp(m)).toFixed(1)} (95%: ${elo(clamp(m - 1.96 * se)).toFixed(1)} .. ${elo(clamp(m + 1.96 * se)).toFixed(1)})`;
    text += ` penta [${stats.penta.join(', ')}]`;
    if (v > 0) {
      const s0 = 1 / (1 + 10 ** (-0 / 400)), s1 = 1 / (1 + 10 ** (-5 / 400));
      const llr = pairs * (s1 - s0) * (2 * m - s0 - s1) / (2 * v);
      text += ` LLR ${llr.toFixed(2)} (-2.94, 2.94)`;
      if (SPRT && (llr >= 2.944 || llr <= -2.944)) { stop = true; text += llr > 0 ? ' H1 accepted' : ' H0 accepted'; }
    }
  }
  for (const [k, u] of Object.entries(timeUse))
    text += ` | ${k}: ${(u.ms / Math.max(u.moves, 1)).toFixed(0)} ms/move, ${(u.left50 / Math.max(u.n50, 1) / BASE * 100).toFixed(0)}% left at move 50`;
  text += ` | ${JSON.stringify(stats.reasons)} | ${((Date.now() - started) / 60000).toFixed(1)} min`;
  return text;
}

async function worker() {
  let e = [new Engine(engines[0]), new Engine(engines[1])];
  await Promise.all(e.map(x => x.init()));
  while (!stop && nextRound < ROUNDS) {
    const round = nextRound++;
    const opening = openings[round % openings.length];
    let pairScore = 0;
    for (let g = 0; g < 2; ++g) {
      const white = g === 0 ? e[0] : e[1], black = g === 0 ? e[1] : e[0];
      const r = await playGame(white, black, opening);
      const mine = r.result === '1/2-1/2' ? 0.5 : (r.result === '1-0') === (g === 0) ? 1 : 0;
      pairScore += mine;
      if (mine === 1) stats.w++; else if (mine === 0) stats.l++; else stats.d++;
      stats.reasons[r.reason.split(' ')[0]] = (stats.reasons[r.reason.split(' ')[0]] || 0) + 1;
      logFile.write(`round ${round + 1} game ${g + 1}: ${white.config.name} vs ${black.config.name} ${r.result} (${r.reason}) opening ${opening.join(' ')}\n`);
      if (r.kill || e.some(x => x.dead)) {
        for (let i = 0; i < 2; ++i) { e[i].kill(); e[i] = new Engine(engines[i]); }
        await Promise.all(e.map(x => x.init()));
      }
    }
    stats.penta[Math.round(pairScore * 2)]++;
    const text = summary();
    console.log(text);
    fs.writeFileSync(OUT + '/summary.txt', text + '\n');
  }
  for (const x of e) { x.send('quit'); setTimeout(() => x.kill(), 500); }
}

process.on('SIGINT', () => { stop = true; console.log('stopping after the games in progress'); });
await Promise.all(Array.from({ length: CONC }, worker));
console.log('final: ' + summary());
