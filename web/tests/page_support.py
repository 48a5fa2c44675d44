"""What the page's tests share: the pickers' stand-ins, the sets the page
shows, and the pieces of a source that the companion divided, with the
changes the tests make to them."""
import hashlib
import json
import os
import pathlib
import random
import shutil
import subprocess
import tempfile

from recovery_reference import recovery_piece

PIECE_LENGTH = 4 + 256 * 4098   # a piece of 1 MiB
CHUNK = 4098

# In-page stand-ins for the pickers, which cannot be clicked headless: files
# are Blobs in window.__out, every call is logged in window.__log. The
# page's code path is the one it takes with the real pickers.
PICKERS = r"""
window.__out = new Map(); window.__log = []; window.__delay = 0;
const handle = (name) => ({
  kind: 'file', name,
  getFile: async () => new File([window.__out.get(name) || new Blob([])], name),
  createWritable: async () => {
    const parts = [];
    window.__log.push('open ' + name);
    return {
      write: async (data) => {
        parts.push(new Blob([data]));
        window.__log.push('write ' + name);
        if (window.__delay) await new Promise((r) => setTimeout(r, window.__delay));
      },
      close: async () => { window.__out.set(name, new Blob(parts)); window.__log.push('close ' + name); },
      truncate: async (size) => { parts.splice(0); window.__log.push('truncate ' + name + ' ' + size); },
      seek: async (position) => { window.__log.push('seek ' + name + ' ' + position); },
      abort: async () => { window.__log.push('abort ' + name); },
    };
  },
  remove: async () => { window.__out.delete(name); window.__log.push('remove ' + name); },
});
window.showSaveFilePicker = async (options) => {
  window.__out.set(options.suggestedName, new Blob([]));
  return handle(options.suggestedName);
};
window.showDirectoryPicker = async () => ({
  kind: 'directory', name: 'out',
  keys: async function* () { for (const name of [...window.__out.keys()]) yield name; },
  getFileHandle: async (name) => {
    if (!window.__out.has(name)) window.__out.set(name, new Blob([]));
    return handle(name);
  },
  removeEntry: async (name) => { window.__out.delete(name); window.__log.push('remove ' + name); },
});
"""

# Each set on the page: its state and its findings' kinds and texts.
READ_SETS = r"""
return [...document.querySelectorAll('#sets .set')].map((set) => ({
  state: set.querySelector('.state').dataset.state,
  mergeEnabled: !set.querySelector('button.merge').disabled,
  findings: [...set.querySelectorAll('.finding')].map((f) => [f.dataset.kind, f.textContent]),
}));
"""


def sha256(data):
    return hashlib.sha256(data).hexdigest()


class Data:
    """A source of 2.5 MiB and a bit, divided by the companion into 3 pieces
    of 1 MiB: the bytes Sundrel.exe writes."""

    def __init__(self, companion):
        self.companion = companion
        self.root = pathlib.Path(tempfile.mkdtemp(prefix="sundrel-page-"))
        self.source = self.root / "report.bin"
        self.source.write_bytes(random.Random(7).randbytes((5 << 19) + 1234))
        self.pieces = self.root / "pieces"
        self.pieces.mkdir()
        self.companion_divide(self.pieces, "-s", "1")
        self.names = sorted(p.name for p in self.pieces.iterdir())
        assert len(self.names) == 3, self.names
        # The same pieces with one recovery piece.
        self.recovery = self.root / "recovery"
        shutil.copytree(self.pieces, self.recovery)
        self.recovery_name = "report.bin(00_of_03).recovery-01-of-01.divide"
        (self.recovery / self.recovery_name).write_bytes(recovery_piece(
            self.source.read_bytes(), self.piece_bytes(), 1 << 20, 1, 1))

    def piece_bytes(self):
        return [(self.pieces / name).read_bytes() for name in self.names]

    def companion_divide(self, folder, *size):
        subprocess.run([self.companion, "divide", str(self.source), *size, "-o", str(folder),
                        "--quiet"], check=True, timeout=60, stdout=subprocess.DEVNULL)

    def variant(self, name, change=None, leave_out=(), recovery=False):
        """A copy of the pieces (and the recovery piece) with one changed or
        some left out."""
        folder = self.root / name
        shutil.copytree(self.recovery if recovery else self.pieces, folder)
        for number in leave_out:
            (folder / self.names[number - 1]).unlink()
        if change:
            change(folder)
        return [str(p) for p in sorted(folder.iterdir())]


def flip_byte(number, offset):
    def change(folder):
        path = folder / ("report.bin(%02d_of_03).divide" % number)
        data = bytearray(path.read_bytes())
        data[offset] ^= 0x40
        path.write_bytes(bytes(data))
    return change


def other_id(number):
    def change(folder):
        path = folder / ("report.bin(%02d_of_03).divide" % number)
        data = bytearray(path.read_bytes())
        data[0:4] = (int.from_bytes(data[0:4], "little") + 3600).to_bytes(4, "little")
        path.write_bytes(bytes(data))
    return change


def cut(number, bytes_off):
    def change(folder):
        path = folder / ("report.bin(%02d_of_03).divide" % number)
        path.write_bytes(path.read_bytes()[:-bytes_off])
    return change


def flip_recovery(folder, offset):
    path = folder / "report.bin(00_of_03).recovery-01-of-01.divide"
    data = bytearray(path.read_bytes())
    data[offset] ^= 0x40
    path.write_bytes(bytes(data))


def companion_verify(companion, piece, locale):
    """The companion's verdict on the set of one piece."""
    verify = subprocess.run([companion, "verify", "--json", piece], timeout=60,
                            capture_output=True, text=True, env={**os.environ, "LC_ALL": locale})
    sets = json.loads(verify.stdout)["sets"]
    assert len(sets) == 1, sets
    return sets[0]
