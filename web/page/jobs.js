// The worker with the core inside, and its jobs: what a merge, repair or
// divide writes goes into files the user picks (File System Access API)
// or, where the browser has none, into downloads, with progress and Stop.

// ---- The worker, with the core inside ----

let worker = null;
const handlers = new Map();   // message type -> function

function startWorker() {
  const source = $('worker-source').textContent;
  const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
  worker = new Worker(url);
  const base64 = $('core-wasm').textContent.trim();
  const binary = atob(base64);
  const wasm = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; ++i) wasm[i] = binary.charCodeAt(i);
  worker.onmessage = (event) => {
    const handler = handlers.get(event.data.type);
    if (handler) handler(event.data);
  };
  worker.postMessage({ type: 'init', wasm: wasm.buffer }, [wasm.buffer]);
  return url;
}

// An error the worker did not expect; a job it broke off ends with it.
handlers.set('error', (message) => {
  if (currentJob) currentJob.brokenOff(message.message);
  else $('survey-status').textContent = say('pageError', { message: message.message });
});

function askWorker(request, replyType) {
  return new Promise((resolve) => {
    handlers.set(replyType, (message) => { handlers.delete(replyType); resolve(message); });
    worker.postMessage(request);
  });
}

// ---- Outputs: a writable stream into a picked file, or a download ----

// A file the user picked or a download, written a chunk at a time. abort()
// leaves nothing behind where the browser allows; returns false when a
// half-written file remains.
class DownloadOutput {
  constructor(name) { this.name = name; this.parts = []; this.blob = null; }
  async write(data) { this.parts.push(new Blob([data])); }
  async close() {
    this.blob = new Blob(this.parts, { type: 'application/octet-stream' });
    this.parts = [];
  }
  async abort() { this.parts = []; this.blob = null; return true; }
  // A merge that starts over: what was collected goes.
  async restart() { this.parts = []; }
  // Offered only once the whole job succeeded: a download cannot be taken back.
  deliver() {
    const url = URL.createObjectURL(this.blob);
    const link = element('a');
    link.href = url;
    link.download = this.name;
    document.body.append(link);
    link.click();
    link.remove();
    this.blob = null;
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }
}

class StreamOutput {
  constructor(name, handle, writable, remove) {
    this.name = name; this.handle = handle; this.writable = writable; this.remove = remove;
  }
  async write(data) { await this.writable.write(data); }
  async restart() { await this.writable.truncate(0); await this.writable.seek(0); }
  async close() { await this.writable.close(); }
  deliver() {}
  async abort() {
    try { await this.writable.abort(); } catch (error) { /* already closed or failed */ }
    // The picker made the file; abort() keeps it as it was, possibly empty.
    try { await this.remove(); return true; } catch (error) { return false; }
  }
}

async function openStream(handle, remove) {
  return new StreamOutput(handle.name, handle, await handle.createWritable(), remove);
}

// ---- A job: the worker's output written, with progress and Stop ----

class Job {
  constructor(view, total) {
    this.view = view; this.total = total; this.done = 0; this.stopped = false;
    this.started = performance.now(); this.shown = 0;
    this.brokenOff = () => {};
    view.bar.value = 0;
    view.box.hidden = false;
    view.stop.disabled = false;
    view.rate.textContent = '';
  }
  progress(bytes) {
    this.done += bytes;
    const now = performance.now();
    if (now - this.shown < 100 && this.done < this.total) return;
    this.shown = now;
    const seconds = (now - this.started) / 1000;
    const percent = this.total ? Math.floor(this.done * 100 / this.total) : 100;
    this.view.bar.value = percent;
    this.view.rate.textContent = say('speed', { percent, rate: seconds > 0 ? (this.done / 1e6 / seconds).toFixed(1) : '0.0' });
  }
  // The output starts over: so does its progress.
  restart() { this.done = 0; this.shown = 0; this.progress(0); }
  end() {
    this.view.box.hidden = true;
    this.view.stop.disabled = true;
  }
}

function progressView(container) {
  const box = element('div', 'progress');
  const bar = element('progress');
  bar.max = 100;
  bar.value = 0;
  const rate = element('span', 'rate');
  const stop = element('button', 'stop', say('stop'));
  stop.type = 'button';
  box.append(bar, rate, stop);
  box.hidden = true;
  container.append(box);
  return { box, bar, rate, stop };
}

let currentJob = null;
// Whether the worker's core can write through suspended calls: merges
// through recovery pieces and repairs need it.
let canRebuild = false;
// From a Merge, Repair or Divide click to its end, pickers and questions
// included: the files the plan names must not change under it.
let busy = false;
let jobCounter = 0;

// Runs a click's work unless another is under way; busy until it ends.
async function oneAtATime(work) {
  if (busy) return;
  busy = true;
  try {
    await work();
  } finally {
    busy = false;
  }
}

// Runs one merge or divide in the worker: opens an output on each 'begin',
// writes every chunk, closes it on 'end', and answers each in order (true
// to go on); resolves with the result. Messages are handled one after the
// other, as they came.
function runJob(request, job, openOutput) {
  const id = ++jobCounter;
  currentJob = job;
  job.view.stop.onclick = () => {
    job.stopped = true;
    job.view.stop.disabled = true;
    worker.postMessage({ type: 'stop', job: id });
  };
  return new Promise((resolve) => {
    const written = [];
    let output = null;
    let finished = false;
    let queue = Promise.resolve();
    const answer = (goOn) => worker.postMessage({ type: 'ack', goOn });
    const finish = async (result) => {
      finished = true;
      for (const type of ['begin', 'write', 'restart', 'end', 'done', 'failed']) handlers.delete(type);
      currentJob = null;
      job.end();
      if (result.ok) {
        for (const piece of written) piece.deliver();
        resolve(result);
        return;
      }
      // Nothing half-written stays: the open output and, for a divide, the
      // pieces this run wrote before it.
      const left = [];
      if (output && !await output.abort()) left.push(output.name);
      for (const piece of written)
        if (!await piece.abort()) left.push(piece.name);
      resolve({ ...result, left });
    };
    const fail = (error, extra) => { answer(false); return finish({ ok: false, error, ...extra }); };
    const on = (type, handle) => handlers.set(type, (message) => {
      if (message.job !== id) return;
      queue = queue.then(() => (finished ? undefined : handle(message)));
    });
    on('begin', async (message) => {
      if (job.stopped) return fail('stopped');
      try {
        output = await openOutput(message.name);
      } catch (error) {
        return fail('create', { name: message.name, reason: error.message });
      }
      answer(true);
    });
    on('write', async (message) => {
      if (job.stopped) return fail('stopped');
      try {
        await output.write(message.data);
      } catch (error) {
        return fail('write', { name: output.name, reason: error.message });
      }
      job.progress(message.bytes);
      answer(true);
    });
    on('restart', async () => {
      if (job.stopped) return fail('stopped');
      try {
        await output.restart();
      } catch (error) {
        return fail('write', { name: output.name, reason: error.message });
      }
      job.restart();
      answer(true);
    });
    on('end', async () => {
      try {
        await output.close();
      } catch (error) {
        return fail('write', { name: output.name, reason: error.message });
      }
      written.push(output);
      output = null;
      if (job.stopped) return fail('stopped');
      answer(true);
    });
    on('done', (message) => finish({ ...message, ok: true, written }));
    job.brokenOff = (reason) => { queue = queue.then(() => (finished ? undefined : finish({ ok: false, error: 'page', reason }))); };
    on('failed', (message) => finish({ ok: false, ...message }));
    worker.postMessage({ ...request, job: id });
  });
}

function failureText(result, fallbackName) {
  switch (result.error) {
    case 'stopped': return result.left.length ? say('interruptedLeft', { name: result.left.join(', ') }) : say('interrupted');
    case 'corrupted': return say('corrupted', { file: result.file });
    case 'mismatch': return say('mismatch');
    case 'unrecoverable': return say('shortfall', { more: result.shortfall });
    case 'page': return say('pageError', { message: result.reason });
    case 'read': return say(result.file ? 'readError' : 'readErrorNoFile', { file: result.file }) + (result.reason ? ` (${result.reason})` : '');
    case 'create': return say(fallbackName === 'merge' ? 'createMerged' : 'createPiece', { name: result.name }) + (result.reason ? ` (${result.reason})` : '');
    default: return say(fallbackName === 'merge' ? 'writeMerged' : 'writePiece', { name: result.name }) + (result.reason ? ` (${result.reason})` : '');
  }
}

function leftText(result) {
  return result.error !== 'stopped' && result.left && result.left.length ? ' ' + say('failedLeft', { name: result.left.join(', ') }) : '';
}
