// The page: shows what the core in the worker finds, and writes what it
// merges or divides into files the user picks (File System Access API) or,
// where the browser has none, into downloads.
'use strict';

const LANG = (() => {
  const languages = navigator.languages && navigator.languages.length ? navigator.languages : [navigator.language || 'en'];
  for (const language of languages) {
    const primary = String(language).toLowerCase().split('-')[0];
    if (primary === 'ja' || primary === 'en') return primary;
  }
  return 'en';
})();

function say(key, values) {
  const text = TEXTS[key][LANG];
  return text.replace(/\{(\w+)\}/g, (whole, name) => (values && name in values ? String(values[name]) : whole));
}

const $ = (id) => document.getElementById(id);

function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

function two(n) {
  return String(n).padStart(2, '0');
}

// "1765031234 (2025-12-06 14:27:14 UTC)", as the companion shows an ID.
function idText(id) {
  const t = new Date(id * 1000);
  const time = `${t.getUTCFullYear()}-${two(t.getUTCMonth() + 1)}-${two(t.getUTCDate())} ` +
               `${two(t.getUTCHours())}:${two(t.getUTCMinutes())}:${two(t.getUTCSeconds())}`;
  return say('idTime', { id, time });
}

const canSaveFiles = () => typeof window.showSaveFilePicker === 'function';
const canPickFolder = () => typeof window.showDirectoryPicker === 'function';

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
// From a Merge or Divide click to its end, pickers and questions included:
// the files the plan names must not change under it.
let busy = false;
let jobCounter = 0;

// Runs one merge or divide in the worker: opens an output on each 'begin',
// writes every chunk, closes it on 'end', and answers each in order (true
// to go on); resolves with the result. Messages are handled one after the
// other, as they came.
function runJob(request, job, openOutput) {
  const id = ++jobCounter;
  currentJob = job;
  job.view.stop.onclick = () => { job.stopped = true; job.view.stop.disabled = true; };
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

// ---- Merge: the sets, their findings, the Merge button ----

let pieceCount = 0;

function findingText(finding, set, readErrors) {
  const values = { ...finding };
  if (finding.kind === 'foreign-id') { values.id = idText(finding.id); values.setId = idText(set.id); }
  if (finding.kind === 'other-division') values.id = idText(finding.id);
  if (finding.kind === 'duplicate') values.number = two(finding.number);
  if (finding.kind === 'unreadable') values.reason = readErrors[finding.file] || '?';
  if (finding.kind.startsWith('recovery-')) { values.index = two(finding.index); values.total = two(finding.total); }
  return say(finding.kind, values);
}

const pieceNumbers = (numbers) => numbers.map(two).join(', ');

// What the set would do, once its blocks are checked.
function stateText(set) {
  switch (set.state) {
    case 'merges': return say('wouldMerge', { count: set.count, bytes: set.dataBytes });
    case 'repairs':
      return say('wouldMergeAfterRepair', { numbers: pieceNumbers(set.rebuild), bytes: set.dataBytes }) +
             (canRebuild ? '' : ' ' + say('noRebuild'));
    default:
      return set.shortfall ? say('wouldNotMergeShortfall', { more: set.shortfall }) : say('wouldNotMerge');
  }
}

// Sets that only their recovery pieces can merge need the suspended core.
const canMergeSet = (set) => set.state === 'merges' || (set.state === 'repairs' && canRebuild);

function renderSurvey(result, final) {
  const container = $('sets');
  container.replaceChildren();
  const readErrors = result.readErrors || {};
  pieceCount = result.sets.length + result.others.length;
  if (!pieceCount) container.append(element('p', 'empty', say('noSets')));
  result.sets.forEach((set, index) => {
    const section = element('section', 'set');
    section.setAttribute('aria-labelledby', `set-${index}`);
    const heading = element('h3', '', say('setHeading', { name: set.dividedName, count: set.count }));
    heading.id = `set-${index}`;
    section.append(heading);
    if (set.id !== undefined) section.append(element('p', 'set-id', say('setId', { id: idText(set.id) })));
    const list = element('ul', 'findings');
    for (const finding of set.findings) {
      const sound = finding.kind === 'ok' || finding.kind === 'recovery-usable';
      const item = element('li', sound ? 'finding ok' : 'finding fault', findingText(finding, set, readErrors));
      item.dataset.kind = finding.kind;
      list.append(item);
    }
    if (set.missing.length) {
      const item = element('li', 'finding fault', say('missing', {
        numbers: set.missing.map(two).join(', '), count: two(set.count) }));
      item.dataset.kind = 'missing';
      list.append(item);
    }
    section.append(list);
    // "merges" or "cannot"; a set that recovery pieces can repair will get
    // its own state and text here.
    const state = element('p', `state ${set.state}`, final ? stateText(set) : say('stillChecking'));
    state.dataset.state = final ? set.state : 'checking';
    section.append(state);
    const button = element('button', 'merge', say('merge'));
    button.type = 'button';
    button.disabled = !final || !canMergeSet(set);
    const result = element('p', 'result');
    result.setAttribute('role', 'status');
    result.setAttribute('aria-live', 'polite');
    button.onclick = () => merge(set, button, view, result);
    section.append(button);
    // Repair: the pieces that are not whole, written anew from the recovery pieces.
    if (final && set.repair && set.repair.length && set.state !== 'cannot' && canRebuild) {
      const repairButton = element('button', 'repair', say('repair', { numbers: pieceNumbers(set.repair) }));
      repairButton.type = 'button';
      repairButton.onclick = () => repair(set, repairButton, view, result);
      section.append(' ', repairButton);
    }
    const view = progressView(section);
    section.append(result);
    container.append(section);
  });
  for (const name of result.others) {
    const note = element('p', 'finding fault', say('notPiece', { file: name }));
    note.dataset.kind = 'not-piece';
    container.append(note);
  }
  $('clear').hidden = !pieceCount;
}

function surveyFiles(files) {
  if (!files.length || busy) return;
  $('survey-status').textContent = '';
  worker.postMessage({ type: 'survey', files: [...files] });
}

let surveyTotal = 0;
handlers.set('survey', (message) => {
  // Sets with recovery pieces are read once more, through their manifest.
  surveyTotal = message.total + message.result.sets.reduce((sum, set) => sum + (set.inspectBytes || 0), 0);
  renderSurvey(message.result, message.final);
  $('survey-status').textContent = message.final ? '' : say('checking', { done: 0, total: surveyTotal });
  document.body.dataset.survey = message.final ? 'done' : 'checking';
});
handlers.set('progress', (message) => {
  $('survey-status').textContent = say('checking', { done: message.done, total: surveyTotal });
});

function localTime() {
  const t = new Date();
  return { year: t.getFullYear(), month: t.getMonth() + 1, day: t.getDate(),
           hour: t.getHours(), minute: t.getMinutes(), second: t.getSeconds() };
}

function askWorker(request, replyType) {
  return new Promise((resolve) => {
    handlers.set(replyType, (message) => { handlers.delete(replyType); resolve(message); });
    worker.postMessage(request);
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

async function merge(set, button, view, resultLine) {
  if (busy) return;
  busy = true;
  try {
    await mergeSet(set, button, view, resultLine);
  } finally {
    busy = false;
  }
}

async function mergeSet(set, button, view, resultLine) {
  resultLine.textContent = '';
  delete resultLine.dataset.outcome;
  button.disabled = true;
  // The picker needs the click's user activation: the plan comes first, quickly.
  const { plan } = await askWorker({ type: 'merge-plan', selected: set.selected, time: localTime() }, 'merge-plan');
  if (!plan.ok) {
    resultLine.textContent = plan.error === 'collect' ? say('collectFailed') : say('corrupted', { file: plan.file });
    button.disabled = false;
    return;
  }
  let open;
  const streamed = canSaveFiles();
  if (streamed) {
    let handle;
    try {
      handle = await window.showSaveFilePicker({ suggestedName: plan.mergedName });
    } catch (error) {
      button.disabled = false;   // the user cancelled the picker
      return;
    }
    // A file the picker made is removed after a failure; a file the user
    // chose to replace keeps its old content (the stream writes aside).
    const madeByPicker = (await handle.getFile()).size === 0;
    open = () => openStream(handle, async () => {
      if (madeByPicker) await handle.remove();
    });
  } else {
    open = async (name) => new DownloadOutput(name);
  }
  const total = plan.recovery ? plan.dataBytes : plan.pieces.reduce((sum, piece) => sum + piece.dataBytes, 0);
  const job = new Job(view, total);
  const result = await runJob({ type: 'merge', plan, selected: set.selected }, job, open);
  const name = result.ok ? result.written[0].name : '';
  const rebuilt = result.ok && result.rebuilt && result.rebuilt.length
    ? ' ' + say('rebuilt', { names: result.rebuilt.join(', ') }) : '';
  resultLine.textContent = result.ok
    ? say(streamed ? 'merged' : 'downloadReady', { name, bytes: job.done }) + rebuilt
    : failureText(result, 'merge') + leftText(result);
  resultLine.dataset.outcome = result.ok ? 'merged' : result.error;
  button.disabled = false;
}

// ---- Repair: the pieces that are not whole, into a folder or downloads ----

async function repair(set, button, view, resultLine) {
  if (busy) return;
  busy = true;
  try {
    await repairSet(set, button, view, resultLine);
  } finally {
    busy = false;
  }
}

async function repairSet(set, button, view, resultLine) {
  resultLine.textContent = '';
  delete resultLine.dataset.outcome;
  button.disabled = true;
  let open;
  const streamed = canPickFolder();
  if (streamed) {
    let folder;
    try {
      folder = await window.showDirectoryPicker({ mode: 'readwrite' });
    } catch (error) {
      button.disabled = false;   // cancelled, or the folder refused
      return;
    }
    // A damaged piece in the folder is replaced only once its repair is
    // complete (the stream writes aside); a file this repair made goes
    // after a failure.
    open = async (name) => {
      let existed = true;
      try { await folder.getFileHandle(name); } catch (error) { existed = false; }
      const handle = await folder.getFileHandle(name, { create: true });
      return openStream(handle, async () => { if (!existed) await folder.removeEntry(name); });
    };
  } else {
    open = async (name) => new DownloadOutput(name);
  }
  const job = new Job(view, set.repair.length * set.dataBytes / set.count);
  const result = await runJob({ type: 'repair', selected: set.selected }, job, open);
  const names = result.ok ? result.written.map((output) => output.name).join(', ') : '';
  resultLine.textContent = result.ok
    ? say(streamed ? 'repaired' : 'repairedDownloads', { names })
    : failureText(result, 'repair') + leftText(result);
  resultLine.dataset.outcome = result.ok ? 'repaired' : result.error;
  button.disabled = false;
}

// ---- Divide ----

let divideSource = null;
let dividePlanned = null;

// The piece size as chosen, or null for a size in MiB the companion refuses.
function sizeChoice() {
  if (document.querySelector('input[name="size-by"]:checked').value === 'mail') {
    const mailBytes = Math.round(Number($('mail-mb').value) * 1e6);
    return { pieceMiB: 0, mailLimit: mailBytes > 0 ? mailBytes : 1 };
  }
  const miB = Number($('piece-mib').value);
  return Number.isInteger(miB) && miB >= 1 && miB <= 4095 ? { pieceMiB: miB, mailLimit: 0 } : null;
}

function planDivision() {
  dividePlanned = null;
  $('divide').disabled = true;
  if (!divideSource) {
    $('divide-plan').textContent = say('divideChoose');
    return;
  }
  const size = sizeChoice();
  if (!size) {
    $('divide-plan').textContent = say('badMiB', { value: $('piece-mib').value });
    $('divide-plan').dataset.outcome = 'bad-size';
    return;
  }
  // Up to 99: with at most 99 pieces, never past the 255 files the recovery code allows.
  const recovery = Number($('recovery-count').value);
  const badRecovery = !Number.isInteger(recovery) || recovery < 0 || recovery > 99;
  if (badRecovery || (recovery > 0 && !canRebuild)) {
    $('divide-plan').textContent = badRecovery ? say('badRecovery', { value: $('recovery-count').value }) : say('noRebuild');
    $('divide-plan').dataset.outcome = 'bad-recovery';
    return;
  }
  worker.postMessage({ type: 'divide-plan', source: divideSource, ...size, recovery });
}

handlers.set('divide-plan', (message) => {
  const plan = message.plan;
  const lines = [];
  if (plan.mail) lines.push(say('mailChoice', { limit: plan.mail.limit, miB: plan.pieceMiB,
    length: plan.mail.pieceLength, encoded: plan.mail.encoded, left: plan.mail.left }));
  if (plan.ok) {
    lines.push(say('dividePlan', { name: message.name, size: message.size, count: plan.count,
                                   miB: plan.pieceMiB, first: plan.names[0] }));
    if (plan.recoveryNames.length)
      lines.push(say('recoveryPlan', { count: plan.recoveryNames.length, first: plan.recoveryNames[0] }));
    dividePlanned = plan;
  } else if (plan.error === 'too-many') {
    lines.push(say('tooMany', { count: plan.count }));
  } else {
    lines.push(say('limitTooSmall', { limit: sizeChoice().mailLimit }));
  }
  $('divide-plan').textContent = lines.join('\n');
  $('divide-plan').dataset.outcome = plan.ok ? 'planned' : plan.error;
  $('divide').disabled = !plan.ok || busy;
});

async function removeEarlierPieces(folder, sourceName) {
  const names = [];
  for await (const name of folder.keys()) names.push(name);
  const { names: earlier } = await askWorker({ type: 'earlier', source: sourceName, names }, 'earlier');
  if (!earlier.length) return true;
  if (!window.confirm(say('earlierQuestion', { names: earlier.join('\n') }))) return false;
  for (const name of earlier) await folder.removeEntry(name);
  return true;
}

const divideView = { };

async function divide() {
  if (!dividePlanned || busy) return;
  busy = true;
  try {
    await divideFile(divideSource, dividePlanned);
  } finally {
    busy = false;
  }
}

async function divideFile(source, plan) {
  const result = $('divide-result');
  result.textContent = '';
  delete result.dataset.outcome;
  $('divide').disabled = true;
  let open;
  const streamed = canPickFolder();
  if (streamed) {
    let folder;
    try {
      folder = await window.showDirectoryPicker({ mode: 'readwrite' });
      if (!await removeEarlierPieces(folder, source.name)) {
        $('divide').disabled = !dividePlanned;
        return;
      }
    } catch (error) {
      $('divide').disabled = !dividePlanned;   // cancelled, or the folder refused
      return;
    }
    open = async (name) => {
      const handle = await folder.getFileHandle(name, { create: true });
      return openStream(handle, () => folder.removeEntry(name));
    };
  } else {
    open = async (name) => new DownloadOutput(name);
  }
  const total = source.size;
  // Every recovery piece holds about as much as the longest piece.
  const recoveryBytes = plan.recoveryNames.length * (Math.min(total, plan.pieceSize) + 2 * Math.ceil(Math.min(total, plan.pieceSize) / 4096));
  const job = new Job(divideView.progress, total + 2 * Math.ceil(total / 4096) + 4 * plan.count + recoveryBytes);
  // The divide file ID: the time in seconds since 1970 (UTC), as the companion's.
  const id = Math.floor(Date.now() / 1000) >>> 0;
  const outcome = await runJob({ type: 'divide', source, plan, id }, job, open);
  const names = plan.names.concat(plan.recoveryNames).join(', ');
  result.textContent = outcome.ok
    ? say(streamed ? 'divided' : 'dividedDownloads', { count: plan.count, names })
    : failureText(outcome, 'divide') + leftText(outcome);
  result.dataset.outcome = outcome.ok ? 'divided' : outcome.error;
  $('divide').disabled = !dividePlanned;
}

// ---- Start ----

function fillTexts() {
  document.documentElement.lang = LANG;
  document.title = say('title');
  for (const node of document.querySelectorAll('[data-text]')) node.textContent = say(node.dataset.text);
}

function start() {
  fillTexts();
  if (typeof Worker !== 'function' || typeof WebAssembly !== 'object') {
    $('survey-status').textContent = say('noWorker');
    return;
  }
  const workerUrl = startWorker();
  $('save-hint').hidden = canSaveFiles();
  const zone = $('drop-zone');
  const input = $('pieces-input');
  zone.addEventListener('click', () => input.click());
  zone.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' || event.key === ' ') {
      event.preventDefault();
      input.click();
    }
  });
  zone.addEventListener('dragover', (event) => { event.preventDefault(); zone.classList.add('over'); });
  zone.addEventListener('dragleave', () => zone.classList.remove('over'));
  zone.addEventListener('drop', (event) => {
    event.preventDefault();
    zone.classList.remove('over');
    surveyFiles(event.dataTransfer.files);
  });
  input.addEventListener('change', () => { surveyFiles(input.files); input.value = ''; });
  $('clear').addEventListener('click', () => {
    if (!busy) worker.postMessage({ type: 'clear' });
  });
  divideView.progress = progressView($('divide-progress'));
  $('divide-input').addEventListener('change', () => {
    divideSource = $('divide-input').files[0] || null;
    planDivision();
  });
  for (const node of document.querySelectorAll('input[name="size-by"], #piece-mib, #mail-mb, #recovery-count'))
    node.addEventListener('input', planDivision);
  $('divide').addEventListener('click', divide);
  handlers.set('ready', (message) => {
    canRebuild = message.canRebuild;
    URL.revokeObjectURL(workerUrl);
    document.body.dataset.ready = 'true';
    $('sets').replaceChildren(element('p', 'empty', say('noSets')));
    planDivision();
  });
}

start();
