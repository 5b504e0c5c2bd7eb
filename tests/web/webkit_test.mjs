// The web page in WebKit, the engine of Safari and of every browser on iPhone and iPad:
// WebKitGTK's MiniBrowser under an X server of the test's own, driven through W3C WebDriver
// (WebKitWebDriver), plain HTTP and JSON. A link paints the desktop's pixels at device scales
// 1 and 2, "new" and Back, a bad link, Save PNG, and an engine that fails or cannot start.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { existsSync } from 'node:fs';
import { createServer } from 'node:net';
import { after, before, describe, test } from 'node:test';

import { assertSamePixels, desktopFigure, kCanvasBase64, kCode, kKeepSavedPng, serveSite, stopServing } from './harness.mjs';
import { readPng } from './png.mjs';

const kDriver = '/usr/bin/WebKitWebDriver';
const kBrowser = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const missing = [kDriver, kBrowser, '/usr/bin/Xvfb'].find((file) => !existsSync(file));
const children = [];
let origin;
let display;

const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const freePort = () => new Promise((resolve) => {
  const probe = createServer().listen(0, '127.0.0.1', () => {
    const { port } = probe.address();
    probe.close(() => resolve(port));
  });
});

// An X server on a free display, as the other screen tests start theirs.
async function startXServer() {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
    { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  children.push(xvfb);
  const number = await new Promise((resolve) => xvfb.stdio[3].once('data', (data) => resolve(String(data).trim())));
  return `:${number}`;
}

// A WebDriver session in MiniBrowser, its screen at `scale` device pixels to a CSS pixel.
async function openBrowser(scale) {
  const port = await freePort();
  const driver = spawn(kDriver, [`--port=${port}`], {
    stdio: 'ignore',
    env: { ...process.env, DISPLAY: display, GDK_SCALE: String(scale) },
  });
  children.push(driver);
  const base = `http://127.0.0.1:${port}`;
  const call = async (method, path, body) => {
    const response = await fetch(base + path, {
      method,
      headers: { 'Content-Type': 'application/json' },
      body: body === undefined ? undefined : JSON.stringify(body),
    });
    const { value } = await response.json();
    if (!response.ok) throw new Error(`WebDriver ${path}: ${value?.error}: ${value?.message}`);
    return value;
  };
  let session;
  for (let tries = 0; !session; ++tries) {
    try {
      session = await call('POST', '/session', {
        capabilities: { alwaysMatch: { 'webkitgtk:browserOptions': { binary: kBrowser, args: ['--automation'] } } },
      });
    } catch (error) {
      if (tries > 50) throw error;
      await pause(100);
    }
  }
  const at = `/session/${session.sessionId}`;
  const browser = {
    go: (url) => call('POST', `${at}/url`, { url }),
    back: () => call('POST', `${at}/back`, {}),
    // A click as the user's: WebKit skips on Back an entry that was added without one.
    click: async (selector) => {
      const element = await call('POST', `${at}/element`, { using: 'css selector', value: selector });
      await call('POST', `${at}/element/${Object.values(element)[0]}/click`, {});
    },
    run: (expression) => call('POST', `${at}/execute/sync`, { script: `return ${expression};`, args: [] }),
    awaited: (expression) => call('POST', `${at}/execute/async`,
      { script: `Promise.resolve(${expression}).then(arguments[0]);`, args: [] }),
    close: async () => {
      await call('DELETE', at).catch(() => {});
      driver.kill();
    },
    // Waits until `expression` is true in the page, which may still be loading meanwhile.
    async until(expression, what) {
      for (let tries = 0; tries < 200; ++tries) {
        if (await browser.run(`document.readyState !== 'loading' && (${expression})`).catch(() => false)) return;
        await pause(100);
      }
      throw new Error(`the page never showed ${what}`);
    },
    // Waits for a figure other than `previous`, and gives its code.
    async paintedCode(previous = '') {
      await browser.until(`(c => c !== '' && c !== ${JSON.stringify(previous)})(document.getElementById('code').value)`,
        'a new figure');
      return browser.run("document.getElementById('code').value");
    },
    pixels: async () => new Uint8Array(Buffer.from(await browser.run(kCanvasBase64), 'base64')),
    message: () => browser.run("document.getElementById('message').textContent"),
  };
  return browser;
}

describe('webkit', { skip: missing && `${missing} is missing (see WEB_TEST_PACKAGES in the Makefile)` }, () => {
  let browser;
  before(async () => {
    origin = await serveSite();
    display = await startXServer();
    browser = await openBrowser(1);
  });
  after(async () => {
    await browser?.close();
    for (const child of children.reverse()) child.kill();
    stopServing();
  });

  test('a link paints the desktop\'s pixels, "new" another figure and Back the first again', async () => {
    await browser.go(`${origin}/#${kCode}`);
    assert.equal(await browser.paintedCode(), kCode);
    const first = await browser.pixels();
    assertSamePixels(first, desktopFigure(kCode, 1).rgba, 'scale 1');
    await browser.click('#new');
    const next = await browser.paintedCode(kCode);
    assert.equal(new URL(await browser.run('location.href')).hash, `#${next}`);
    await browser.back();
    assert.equal(await browser.paintedCode(next), kCode);
    assertSamePixels(await browser.pixels(), first, 'back');
    assert.equal(await browser.message(), '');
  });

  test('a bad link says so and paints a figure; Save PNG gives the desktop\'s picture', async () => {
    await browser.go(`${origin}/#NOT-A-CODE`);
    await browser.paintedCode();
    assert.match(await browser.message(), /^“NOT-A-CODE” is not a figure code/);
    await browser.go(`${origin}/#${kCode}`);
    await browser.paintedCode();
    await browser.run(kKeepSavedPng);
    await browser.click('#save');
    const png = readPng(Buffer.from(await browser.awaited('window.savedPng'), 'base64'));
    assert.equal(png.texts['tavelune:figure'], kCode);
    assertSamePixels(png.rgba, desktopFigure(kCode, 1).rgba, 'saved');
  });

  test('an engine that fails while it paints, or cannot start, is said so', async () => {
    await browser.go(`${origin}/failing/`);
    await browser.until("document.getElementById('message').textContent.includes('engine failed')", 'the failure');
    await browser.run(`location.hash = '${kCode}'`);
    assert.equal(await browser.paintedCode(), kCode);
    await browser.go(`${origin}/broken/#${kCode}`);
    await browser.until("document.getElementById('message').textContent.includes('could not start')", 'the failure');
  });

  test('at device scale 2 a link paints the desktop\'s pixels at scale 2', async () => {
    const sharp = await openBrowser(2);
    try {
      await sharp.go(`${origin}/#${kCode}`);
      await sharp.paintedCode();
      assert.equal(await sharp.run('window.devicePixelRatio'), 2);
      assertSamePixels(await sharp.pixels(), desktopFigure(kCode, 2).rgba, 'scale 2');
    } finally {
      await sharp.close();
    }
  });
});
