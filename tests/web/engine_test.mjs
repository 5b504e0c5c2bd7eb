// The web edition's engine under node: the same pixels as the desktop's, and the same refusals.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { test } from 'node:test';

const site = process.env.TAVELUNE_SITE;
assert.ok(site, 'TAVELUNE_SITE names the folder with engine.js');
// The loader finds node's modules this way; it was built for the browser first.
globalThis.require = createRequire(import.meta.url);
globalThis.__dirname = site;
const { default: createEngine } = await import(join(site, 'engine.js'));
const engine = await createEngine({ wasmBinary: readFileSync(join(site, 'engine.wasm')) });

const paintCode = (code, scale) => engine.ccall('tavelune_paint_code', 'number', ['string', 'number'], [code, scale]);
const shownCode = () => engine.UTF8ToString(engine._tavelune_code());
const shownPixels = () => {
  const side = engine._tavelune_side();
  const start = engine._tavelune_pixels();
  return engine.HEAPU8.slice(start, start + side * side * 4);
};

// FNV-1a over the pixels as the native tests hash them: 0xffRRGGBB words, little-endian.
function digest(rgba) {
  const prime = 0x100000001b3n;
  const mask = (1n << 64n) - 1n;
  let hash = 0xcbf29ce484222325n;
  for (let i = 0; i < rgba.length; i += 4) {
    for (const byte of [rgba[i + 2], rgba[i + 1], rgba[i], rgba[i + 3]]) hash = ((hash ^ BigInt(byte)) * prime) & mask;
  }
  return hash;
}

// The three figures the native tests record, by their codes: the digests of their pixels at
// scales 1 and 2 are the native tests' own constants.
test('the recorded figures have the native pixels at scales 1 and 2', () => {
  const recorded = [
    ['3X8FNJ450PFKY2HA6C', 0x32d17d31c85a1a24n, 0x614a498999a73dc2n],
    ['2QZJVK0X16JHGNN9Y8', 0x73022793cf5d6ccbn, 0xc352f10d849b3a35n],
    ['328SRN5P6V1NVPY8T0', 0x07e5355a5b751929n, 0x6da1f2ddf8889a44n],
  ];
  for (const [code, atOne, atTwo] of recorded) {
    for (const [scale, want] of [[1, atOne], [2, atTwo]]) {
      assert.equal(paintCode(code, scale), 0, code);
      assert.equal(engine._tavelune_side(), 500 * scale);
      assert.equal(shownCode(), code);
      assert.equal(digest(shownPixels()), want, `${code} at scale ${scale}`);
    }
  }
});

test('a code is read as people type it', () => {
  assert.equal(paintCode('3x8f-nj45-opfk-y2ha-6c', 1), 0);
  assert.equal(shownCode(), '3X8FNJ450PFKY2HA6C');
});

test('a refused code says why and leaves the figure as it was', () => {
  assert.equal(paintCode('328SRN5P6V1NVPY8T0', 1.5), 0);
  const before = shownPixels();
  for (const [typed, fault] of [['', 1], ['3X8FNJ450PFKY2HA6', 1], ['3X8FNJ450PFKY2HA6C0', 1],
    ['3X8FNJ450PFKY2HA6U', 2], ['3X8FNJ450PFKY2HA6#', 2], ['3X8FNJ450PFKY2HA6D', 3]]) {
    assert.equal(paintCode(typed, 2), fault, JSON.stringify(typed));
    assert.equal(shownCode(), '328SRN5P6V1NVPY8T0');
    assert.equal(engine._tavelune_side(), 750);
    assert.deepEqual(shownPixels(), before);
  }
});

// A new figure's code paints it again exactly.
test('a new figure is painted again by its code', () => {
  for (let i = 0; i < 3; ++i) {
    assert.equal(engine._tavelune_paint_new(1), 0);
    const code = shownCode();
    assert.match(code, /^[0-9A-HJKMNP-TV-Z]{18}$/);
    const painted = shownPixels();
    assert.equal(paintCode(code, 1), 0);
    assert.deepEqual(shownPixels(), painted, code);
  }
});
