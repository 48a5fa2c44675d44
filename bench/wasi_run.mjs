// Runs a WASI program (WebAssembly with a main) under node, in V8, the
// engine of Chromium: bench/run measures the page's FCS path with it.
//
//   node bench/wasi_run.mjs PROGRAM.wasm [ARGS...]
import { readFile } from 'node:fs/promises';
import { argv, exit } from 'node:process';
import { WASI } from 'node:wasi';

const wasi = new WASI({ version: 'preview1', args: argv.slice(2) });
const module = await WebAssembly.compile(await readFile(argv[2]));
const instance = await WebAssembly.instantiate(module, wasi.getImportObject());
exit(wasi.start(instance));
