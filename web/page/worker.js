// The page's worker: runs the core (WebAssembly) over the user's files.
// FileReaderSync reads slices of a File synchronously, so the core's
// synchronous reads work unchanged. Merge and divide hand their output to
// the page a segment at a time and wait for it to be written before the
// next, so that a file of any size never sits in memory, and a Stop is seen
// between segments.
'use strict';

const reader = new FileReaderSync();
const encoder = new TextEncoder();
const decoder = new TextDecoder();
// Blocks per segment: about 16 MiB of data, read in one slice.
const SEGMENT_BLOCKS = 4096;
const ID_SIZE = 4;
// The core's PieceStatus values (piece_io.h) the worker tells apart.
const STATUS_OK = 0;
const STATUS_EMPTY = 1;
const STATUS_READ_FAILED = 3;

// The merge, repair and recovery pieces run in one call of the core that
// writes as it goes: the call is suspended while the page writes
// (WebAssembly JavaScript promise integration), where the browser can.
const canSuspend = typeof WebAssembly.Suspending === 'function' && typeof WebAssembly.promising === 'function';

let core = null;
let suspendingCalls = null;   // the core's exports that write through outputs
let outputJob = 0;            // the job those outputs belong to
let stoppedJob = 0;           // the last job the page's Stop reached
let pieces = [];        // the files given for merging, one per name
let files = [];         // the files the core reads in the current call
let readErrors = new Map();
let channel = null;

function memory() {
  return new Uint8Array(core.memory.buffer);
}

// The outputs of a suspended call: the same messages a segmented merge or
// divide sends, each answered before the call goes on.
function outputImports() {
  const calls = {
    output_begin: async (pointer, n) =>
      (await channel.begin(outputJob, decoder.decode(memory().slice(pointer, pointer + n)))) ? 1 : 0,
    output_write: async (pointer, n) => {
      const data = memory().slice(pointer, pointer + n);
      return (await channel.pipe({ type: 'write', job: outputJob, data: data.buffer, bytes: n }, [data.buffer])) ? 1 : 0;
    },
    output_restart: async () =>
      (await channel.drain() && await channel.send({ type: 'restart', job: outputJob })) ? 1 : 0,
    output_end: async () => (await channel.end(outputJob, '')) ? 1 : 0,
    // A turn of the event loop, in which a Stop can arrive.
    job_go_on: async () => {
      await new Promise((resolve) => setTimeout(resolve, 0));
      return stoppedJob === outputJob ? 0 : 1;
    },
  };
  const wrapped = {};
  for (const [name, call] of Object.entries(calls))
    wrapped[name] = canSuspend ? new WebAssembly.Suspending(call) : () => 0;
  return wrapped;
}

const imports = {
  sundrel: {
    file_count: () => files.length,
    file_name: (index, pointer, capacity) => {
      const name = encoder.encode(files[index].name);
      if (name.length <= capacity) memory().set(name, pointer);
      return name.length;
    },
    file_size: (index) => files[index].size,
    file_read: (index, offset, pointer, n) => {
      const file = files[index];
      try {
        const bytes = new Uint8Array(reader.readAsArrayBuffer(file.slice(offset, offset + n)));
        memory().set(bytes, pointer);
        return bytes.length;
      } catch (error) {
        readErrors.set(file.name, error.message || error.name);
        return -1;
      }
    },
    progress: (done) => postMessage({ type: 'progress', done }),
    ...outputImports(),
  },
  // The C library's stdio is linked but never used: nothing to write to.
  wasi_snapshot_preview1: {
    fd_close: () => 8,
    fd_seek: () => 8,
    fd_write: () => 8,
  },
};

function withText(text, call) {
  const bytes = encoder.encode(text);
  const pointer = core.sd_alloc(bytes.length);
  memory().set(bytes, pointer);
  try {
    return call(pointer, bytes.length);
  } finally {
    core.sd_free(pointer);
  }
}

async function withTextAsync(text, call) {
  const bytes = encoder.encode(text);
  const pointer = core.sd_alloc(bytes.length);
  memory().set(bytes, pointer);
  try {
    return await call(pointer, bytes.length);
  } finally {
    core.sd_free(pointer);
  }
}

function takeJson(block) {
  const length = new DataView(core.memory.buffer).getUint32(block, true);
  const text = decoder.decode(memory().subarray(block + 4, block + 4 + length));
  core.sd_free(block);
  return JSON.parse(text);
}

// The page answers every message of a job in order, true to go on. One
// segment may wait for its answer while the next is read, so that reading
// and writing overlap; nothing more is held.
class Channel {
  constructor() { this.answers = []; this.unanswered = null; }
  send(message, transfer) {
    postMessage(message, transfer || []);
    return new Promise((resolve) => { this.answers.push(resolve); });
  }
  // Posts a segment; waits for the answer to the one before.
  async pipe(message, transfer) {
    const previous = this.unanswered;
    this.unanswered = this.send(message, transfer);
    return previous ? previous : true;
  }
  // Waits until everything posted is written.
  async drain() {
    const last = this.unanswered;
    this.unanswered = null;
    return last ? last : true;
  }
  answer(goOn) {
    const resolve = this.answers.shift();
    if (resolve) resolve(goOn);
  }
  async begin(job, name) { return await this.drain() && this.send({ type: 'begin', job, name }); }
  async end(job, name) { return await this.drain() && this.send({ type: 'end', job, name }); }
  async segment(segment, job) {
    const size = core.sd_segment_size(segment);
    const start = core.sd_segment_data(segment);
    const data = memory().slice(start, start + size);
    return this.pipe({ type: 'write', job, data: data.buffer, bytes: size }, [data.buffer]);
  }
}

function survey(given) {
  // One file per name: a name given again replaces the earlier file.
  const byName = new Map(pieces.map((file) => [file.name, file]));
  for (const file of given) byName.set(file.name, file);
  pieces = [...byName.values()];
  files = pieces;
  readErrors = new Map();
  const total = pieces.reduce((sum, file) => sum + file.size, 0);
  postMessage({ type: 'survey', result: takeJson(core.sd_survey(0)), total, final: false });
  const result = takeJson(core.sd_survey(1));
  result.readErrors = Object.fromEntries(readErrors);
  postMessage({ type: 'survey', result, total, final: true });
}

function mergePlan(selected, t) {
  files = pieces;
  const plan = withText(selected, (p, n) =>
    takeJson(core.sd_merge_plan(p, n, t.year, t.month, t.day, t.hour, t.minute, t.second, canSuspend ? 1 : 0)));
  postMessage({ type: 'merge-plan', plan });
}

// 'begin' with the merged file's name, the data of each piece of the plan a
// segment at a time, 'end'; then 'done' or 'failed'.
async function merge(plan, job) {
  files = pieces;
  readErrors = new Map();
  channel = new Channel();
  if (!await channel.begin(job, plan.mergedName)) return;
  const segment = core.sd_segment_new();
  try {
    for (const piece of plan.pieces) {
      let offset = ID_SIZE;
      let blocks = 0;
      for (;;) {
        const status = core.sd_join_segment(segment, piece.index, offset, SEGMENT_BLOCKS, piece.length, plan.id);
        blocks += core.sd_segment_blocks(segment);
        offset = core.sd_segment_offset(segment);
        if (status !== STATUS_OK && status !== STATUS_EMPTY) {
          const error = status === STATUS_READ_FAILED ? 'read' : 'corrupted';
          postMessage({ type: 'failed', job, error, file: piece.name, block: blocks + 1,
                        reason: readErrors.get(piece.name) || '' });
          return;
        }
        if (core.sd_segment_size(segment) > 0 && !await channel.segment(segment, job)) return;
        if (status === STATUS_EMPTY || offset >= piece.length) break;
      }
      // A piece that changed since its length was judged is not the piece judged.
      if (offset !== piece.length) {
        postMessage({ type: 'failed', job, error: 'corrupted', file: piece.name });
        return;
      }
    }
    if (!await channel.end(job, plan.mergedName)) return;
    postMessage({ type: 'done', job });
  } finally {
    core.sd_segment_free(segment);
  }
}

// A call of the core that writes through outputs: 'done' with what the
// call gives, or 'failed' unless the page ended the job itself.
async function runSuspended(job, call) {
  files = pieces;
  readErrors = new Map();
  channel = new Channel();
  outputJob = job;
  const outcome = takeJson(await call());
  if (outcome.status === 'ok') postMessage({ type: 'done', job, ...outcome });
  else if (outcome.status !== 'ended')
    postMessage({ type: 'failed', job, ...outcome, error: outcome.status,
                  reason: readErrors.get(outcome.file) || '' });
}

// The merge of a set through its recovery pieces into plan.mergedName.
function mergeRecovery(selected, plan, job) {
  return runSuspended(job, () => withTextAsync(selected, (p, n) => withTextAsync(plan.mergedName,
    (q, m) => suspendingCalls.mergeRecovery(p, n, q, m))));
}

// The pieces of a set that are not whole, written anew.
function repair(selected, job) {
  return runSuspended(job, () => withTextAsync(selected, (p, n) => suspendingCalls.repair(p, n)));
}

function dividePlan(source, pieceMiB, mailLimit, recovery) {
  const plan = withText(source.name, (p, n) =>
    takeJson(core.sd_divide_plan(p, n, source.size, pieceMiB, mailLimit, recovery)));
  postMessage({ type: 'divide-plan', plan, name: source.name, size: source.size });
}

function earlierPieces(source, names) {
  const earlier = names.filter((name) => withText(name, (p, n) =>
    withText(source, (q, m) => core.sd_is_piece_of(p, n, q, m))));
  postMessage({ type: 'earlier', names: earlier });
}

// Every piece: 'begin' with its name, its ID and blocks a segment at a
// time, 'end'; then every recovery piece the plan names, each read again
// from the source; then 'done' or 'failed'.
async function divide(source, plan, id, job) {
  files = [source];
  readErrors = new Map();
  channel = new Channel();
  const segmentBytes = SEGMENT_BLOCKS * 4096;
  const segment = core.sd_segment_new();
  const division = plan.recoveryNames.length ? core.sd_division_new() : 0;
  try {
    for (let n = 0; n < plan.count; ++n) {
      const name = plan.names[n];
      if (!await channel.begin(job, name)) return;
      const start = n * plan.pieceSize;
      const end = Math.min(source.size, start + plan.pieceSize);
      // The one piece of an empty source is empty: no ID, no block.
      for (let offset = start; offset < end; offset += segmentBytes) {
        const bytes = Math.min(segmentBytes, end - offset);
        const status = core.sd_write_segment(segment, 0, offset, bytes, offset === start ? 1 : 0, id, division);
        if (status !== STATUS_OK) {
          postMessage({ type: 'failed', job, error: 'read', file: source.name,
                        reason: readErrors.get(source.name) || '' });
          return;
        }
        if (!await channel.segment(segment, job)) return;
      }
      if (!await channel.end(job, name)) return;
      if (division) core.sd_division_piece_end(division);
    }
    if (division) core.sd_division_end(division, id, source.size, plan.pieceSize, plan.count, plan.recoveryNames.length);
    for (let index = 1; index <= plan.recoveryNames.length; ++index) {
      outputJob = job;
      const outcome = takeJson(await withTextAsync(plan.recoveryNames[index - 1], (p, n) =>
        suspendingCalls.writeRecovery(division, p, n, index)));
      if (outcome.status === 'ended') return;
      if (outcome.status !== 'ok') {
        postMessage({ type: 'failed', job, error: outcome.status, file: source.name,
                      name: plan.recoveryNames[index - 1], reason: readErrors.get(source.name) || '' });
        return;
      }
    }
    postMessage({ type: 'done', job });
  } finally {
    core.sd_segment_free(segment);
    if (division) core.sd_division_free(division);
  }
}

onmessage = async (event) => {
  const message = event.data;
  try {
    switch (message.type) {
      case 'init': {
        const { instance } = await WebAssembly.instantiate(message.wasm, imports);
        core = instance.exports;
        core._initialize();
        if (canSuspend)
          suspendingCalls = { mergeRecovery: WebAssembly.promising(core.sd_merge_recovery),
                              repair: WebAssembly.promising(core.sd_repair),
                              writeRecovery: WebAssembly.promising(core.sd_write_recovery) };
        postMessage({ type: 'ready', canRebuild: canSuspend });
        break;
      }
      case 'ack': if (channel) channel.answer(message.goOn); break;
      case 'stop': stoppedJob = message.job; break;
      case 'survey': survey(message.files); break;
      case 'clear': pieces = []; postMessage({ type: 'survey', result: { sets: [], others: [] }, total: 0, final: true }); break;
      case 'merge-plan': mergePlan(message.selected, message.time); break;
      case 'merge':
        if (message.plan.recovery) await mergeRecovery(message.selected, message.plan, message.job);
        else await merge(message.plan, message.job);
        break;
      case 'repair': await repair(message.selected, message.job); break;
      case 'divide-plan': dividePlan(message.source, message.pieceMiB, message.mailLimit, message.recovery); break;
      case 'earlier': earlierPieces(message.source, message.names); break;
      case 'divide': await divide(message.source, message.plan, message.id, message.job); break;
      default: break;
    }
  } catch (error) {
    postMessage({ type: 'error', message: String(error && error.message || error) });
  }
};
