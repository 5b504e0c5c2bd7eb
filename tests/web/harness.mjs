// What the browser tests share: the site served on loopback, with faults put in under some
// folders, the desktop program's figures, and pixels compared.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join } from 'node:path';

import { readPng } from './png.mjs';

const site = process.env.TAVELUNE_SITE;
const program = process.env.TAVELUNE_PROGRAM;
assert.ok(site && program, 'TAVELUNE_SITE and TAVELUNE_PROGRAM name the page and the desktop program');
export const kCode = '3XS0KHSY9M17BF6T10';
export const scratch = mkdtempSync(join(tmpdir(), 'tavelune-web-'));

const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm' };
// The site, and under these folders the same site with a fault put in: an engine that aborts
// at every new figure, one that cannot start, and a browser without CompressionStream.
const kFaulty = {
  '/failing/engine.js': `import createEngine from '../engine.js';
    export default async (...options) => {
      const engine = await createEngine(...options);
      engine._tavelune_paint_new = () => { throw new WebAssembly.RuntimeError('unreachable'); };
      return engine;
    };`,
  '/broken/engine.js': 'export default () => Promise.reject(new Error(\'no WebAssembly here\'));',
};
const kWithoutCompression = 'globalThis.CompressionStream = undefined;\n';
const server = createServer((request, response) => {
  let path = new URL(request.url, 'http://localhost').pathname;
  if (kFaulty[path]) {
    response.writeHead(200, { 'Content-Type': 'text/javascript' }).end(kFaulty[path]);
    return;
  }
  const plain = path.startsWith('/plain/');
  path = path.replace(/^\/(failing|broken|plain)\//, '/');
  const file = join(site, path === '/' ? 'index.html' : path);
  if (!file.startsWith(site) || !existsSync(file)) {
    response.writeHead(404).end();
    return;
  }
  response.writeHead(200, { 'Content-Type': types[extname(file)] ?? 'application/octet-stream' });
  response.end(plain && path === '/tavelune.js' ? kWithoutCompression + readFileSync(file) : readFileSync(file));
});

// Serves the site on a port of its own; gives its origin.
export async function serveSite() {
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return `http://127.0.0.1:${server.address().port}`;
}

export function stopServing() {
  server.close();
  rmSync(scratch, { recursive: true, force: true });
}

// Scripts for a page, as expressions, the bytes they give in base64: a few megabytes as an
// array of numbers are too much for some drivers. The canvas's RGBA bytes; and, once
// kKeepSavedPng has run, window.savedPng, the bytes that Save PNG's link points at.
const kBase64 = `(bytes) => {
  let text = '';
  for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(text);
}`;
export const kCanvasBase64 = `(${kBase64})((() => {
  const canvas = document.getElementById('picture');
  return canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
})())`;
export const kKeepSavedPng = `void (window.savedPng = new Promise((resolve) => {
  HTMLAnchorElement.prototype.click = function keep() {
    fetch(this.href).then((r) => r.arrayBuffer()).then((b) => resolve((${kBase64})(new Uint8Array(b))));
  };
}))`;

export function desktopFigure(code, scale) {
  const file = join(scratch, `desktop-${code}-${scale}.png`);
  execFileSync(program, ['--png', file, '--figure', code, '--scale', String(scale)], { stdio: 'ignore' });
  return readPng(readFileSync(file));
}

export function assertSamePixels(actual, expected, what) {
  assert.equal(actual.length, expected.length, `${what}: size`);
  const first = actual.findIndex((value, i) => value !== expected[i]);
  assert.equal(first, -1, `${what}: first differing byte at ${first}`);
}
