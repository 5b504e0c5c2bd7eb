// The web page in Debian's chromium, headless: it paints, "new" and the address, links at
// several device scales against the desktop program's PNG, Back, a bad link, and Save PNG.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, readdirSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join } from 'node:path';
import { after, before, test } from 'node:test';
import puppeteer from 'puppeteer-core';

import { readPng } from './png.mjs';

const site = process.env.TAVELUNE_SITE;
const program = process.env.TAVELUNE_PROGRAM;
const screenshot = process.env.TAVELUNE_SCREENSHOT;  // where to keep a picture of the page
assert.ok(site && program, 'TAVELUNE_SITE and TAVELUNE_PROGRAM name the page and the desktop program');
const kCode = '3XS0KHSY9M17BF6T10';

const scratch = mkdtempSync(join(tmpdir(), 'tavelune-web-'));
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm' };
const server = createServer((request, response) => {
  const path = new URL(request.url, 'http://localhost').pathname;
  const file = join(site, path === '/' ? 'index.html' : path);
  if (!file.startsWith(site) || !existsSync(file)) {
    response.writeHead(404).end();
    return;
  }
  response.writeHead(200, { 'Content-Type': types[extname(file)] ?? 'application/octet-stream' });
  response.end(readFileSync(file));
});
let origin;
let browser;

before(async () => {
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  origin = `http://127.0.0.1:${server.address().port}`;
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    userDataDir: join(scratch, 'profile'),
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--disable-quic', '--no-first-run'],
  });
});

after(async () => {
  await browser?.close();
  server.close();
  rmSync(scratch, { recursive: true, force: true });
});

// A page of the given device scale, its errors kept to be checked.
async function openPage(deviceScaleFactor = 1) {
  const page = await browser.newPage();
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  await page.setViewport({ width: 800, height: 700, deviceScaleFactor });
  return page;
}

// Waits for a figure other than `previous` to be painted, and gives its code.
async function paintedCode(page, previous = '') {
  await page.waitForFunction((old) => {
    const code = document.getElementById('code').value;
    return code !== '' && code !== old;
  }, { timeout: 20_000 }, previous);
  return page.$eval('#code', (output) => output.value);
}

const canvasPixels = async (page) => new Uint8Array(await page.$eval('#picture', (canvas) => {
  const { data } = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
  return Array.from(data);
}));

function desktopFigure(code, scale) {
  const file = join(scratch, `desktop-${code}-${scale}.png`);
  execFileSync(program, ['--png', file, '--figure', code, '--scale', String(scale)], { stdio: 'ignore' });
  return readPng(readFileSync(file));
}

function assertSamePixels(actual, expected, what) {
  assert.equal(actual.length, expected.length, `${what}: size`);
  const first = actual.findIndex((value, i) => value !== expected[i]);
  assert.equal(first, -1, `${what}: first differing byte at ${first}`);
}

test('the page paints a figure on load and puts its code in the address', async () => {
  const page = await openPage();
  await page.goto(`${origin}/`);
  const code = await paintedCode(page);
  assert.match(code, /^[0-9A-Z]{18}$/);
  assert.equal(new URL(page.url()).hash, `#${code}`);
  const pixels = await canvasPixels(page);
  assert.equal(pixels.length, 500 * 500 * 4);
  assert.ok(pixels.some((value, i) => i % 4 !== 3 && value !== 0), 'something is painted');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'new');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('"new" paints another figure, changes the address, and Back returns to the one before', async () => {
  const page = await openPage();
  await page.goto(`${origin}/#${kCode}`);
  await paintedCode(page);
  const first = await canvasPixels(page);
  await page.click('#new');
  const next = await paintedCode(page, kCode);
  assert.equal(new URL(page.url()).hash, `#${next}`);
  assert.notDeepEqual(await canvasPixels(page), first);
  await page.goBack();
  assert.equal(await paintedCode(page, next), kCode);
  assert.equal(new URL(page.url()).hash, `#${kCode}`);
  assertSamePixels(await canvasPixels(page), first, 'back');
  await page.goForward();
  assert.equal(await paintedCode(page, kCode), next);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('a link paints the desktop\'s pixels at device scales 1, 1.5 and 2', async () => {
  for (const scale of [1, 1.5, 2]) {
    const page = await openPage(scale);
    await page.goto(`${origin}/#${kCode}`);
    assert.equal(await paintedCode(page), kCode);
    const desktop = desktopFigure(kCode, scale);
    assert.equal(await page.$eval('#picture', (canvas) => canvas.width), desktop.width);
    assertSamePixels(await canvasPixels(page), desktop.rgba, `scale ${scale}`);
    if (screenshot && scale === 1) await page.screenshot({ path: screenshot, clip: { x: 0, y: 0, width: 660, height: 620 } });
    await page.close();
  }
});

test('on a phone the figure fills the width, at the phone\'s device pixels, and "new" is large enough to touch', async () => {
  const page = await browser.newPage();
  await page.setViewport({ width: 390, height: 800, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
  await page.goto(`${origin}/#${kCode}`);
  await paintedCode(page);
  const { cssWidth, side, buttonHeight } = await page.evaluate(() => ({
    cssWidth: document.getElementById('picture').getBoundingClientRect().width,
    side: document.getElementById('picture').width,
    buttonHeight: document.getElementById('new').getBoundingClientRect().height,
  }));
  assert.ok(cssWidth > 350 && cssWidth < 390, `the figure is ${cssWidth} px wide`);
  assert.equal(side, Math.round(cssWidth * 3));
  assert.ok(buttonHeight >= 44, `"new" is ${buttonHeight} px high`);
  const desktop = desktopFigure(kCode, side / 500);
  assertSamePixels(await canvasPixels(page), desktop.rgba, 'phone');
  await page.close();
});

test('a link that holds no code says so and paints a new figure', async () => {
  for (const [fragment, shown] of [['NOT-A-CODE', 'NOT-A-CODE'], ['3XS0KHSY9M17BF6T1%E0%A4%A', '3XS0KHSY9M17BF6T1%E0%A4%A']]) {
    const page = await openPage();
    await page.goto(`${origin}/#${fragment}`);
    const code = await paintedCode(page);
    assert.equal(await page.$eval('#message', (p) => p.textContent.split(' is not')[0]), `“${shown}”`);
    assert.equal(new URL(page.url()).hash, `#${code}`);
    assert.deepEqual(page.errors, []);
    await page.close();
  }
});

test('Save PNG writes the desktop\'s figure with its code and resolution', async () => {
  const page = await openPage(1.5);
  const downloads = join(scratch, 'downloads');
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.goto(`${origin}/#${kCode}`);
  await paintedCode(page);
  await page.click('#save');
  const name = `tavelune-${kCode}.png`;
  const saved = join(downloads, name);
  for (let tries = 0; tries < 200 && !(existsSync(saved) && readdirSync(downloads).length === 1); ++tries) {
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  const png = readPng(readFileSync(saved));
  const desktop = desktopFigure(kCode, 1.5);
  assert.equal(png.texts['tavelune:figure'], kCode);
  assert.deepEqual(png.dotsPerMetre, desktop.dotsPerMetre);
  assert.equal(png.width, 750);
  assertSamePixels(png.rgba, desktop.rgba, 'saved');
  await page.close();
});
