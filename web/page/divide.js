// The Divide section: the plan of a division as the options choose it, and
// its pieces and recovery pieces written into a folder or downloads.

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

function divide() {
  return dividePlanned ? oneAtATime(() => divideFile(divideSource, dividePlanned)) : undefined;
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
  const job = new Job(divideView.progress, plan.outputBytes);
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
