// The page: the sets the core in the worker finds among the user's files,
// their Merge and Repair; and the start of the page, once every part of its
// script is defined (this file comes last).
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

// ---- Merge: the sets, their findings, the Merge button ----

let pieceCount = 0;

function findingText(finding, set, readErrors) {
  const values = { ...finding };
  if (finding.kind === 'foreign-id') { values.id = idText(finding.id); values.setId = idText(set.id); }
  if (finding.kind === 'other-division') values.id = idText(finding.id);
  if (finding.kind === 'duplicate') values.number = two(finding.number);
  if (finding.kind === 'unreadable') values.reason = readErrors[finding.file] || '?';
  if (finding.kind.startsWith('recovery-')) { values.index = two(finding.index); values.total = two(finding.total); }
  if (finding.kind === 'recovery-other-division') values.id = idText(finding.id);
  if (finding.kind === 'recovery-unreadable') values.reason = readErrors[finding.file] || say(MANIFEST_FAULTS[finding.fault] || 'noManifest');
  if (finding.kind === 'recovery-missing') values.numbers = pieceNumbers(finding.numbers);
  return say(finding.kind, values);
}

// The core's ManifestFault values, as texts.
const MANIFEST_FAULTS = { 1: 'noManifest', 2: 'manifestCheck', 3: 'manifestValues' };

const pieceNumbers = (numbers) => numbers.map(two).join(', ');

// What the set would do, once its blocks are checked.
function stateText(set) {
  switch (set.state) {
    case 'merges':
      return set.repair && set.repair.length
        ? say('wouldMergeNotAsDivided', { count: set.count, bytes: set.dataBytes, numbers: pieceNumbers(set.repair) })
        : say('wouldMerge', { count: set.count, bytes: set.dataBytes });
    case 'repairs':
      return say('wouldMergeAfterRepair', { numbers: pieceNumbers(set.rebuild) }) +
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
    const addFinding = (finding) => {
      const sound = finding.kind === 'ok' || finding.kind === 'recovery-usable';
      const item = element('li', sound ? 'finding ok' : 'finding fault', findingText(finding, set, readErrors));
      item.dataset.kind = finding.kind;
      list.append(item);
    };
    set.findings.forEach(addFinding);
    if (set.missing.length) {
      const item = element('li', 'finding fault', say('missing', {
        numbers: set.missing.map(two).join(', '), count: two(set.count) }));
      item.dataset.kind = 'missing';
      list.append(item);
    }
    // As the companion lists them: after the pieces and the missing ones.
    set.recoveryFindings.forEach(addFinding);
    section.append(list);
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

function merge(set, button, view, resultLine) {
  return oneAtATime(() => mergeSet(set, button, view, resultLine));
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

function repair(set, button, view, resultLine) {
  return oneAtATime(() => repairSet(set, button, view, resultLine));
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
