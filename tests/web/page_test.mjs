// The web page in Debian's chromium and firefox-esr, headless, each through puppeteer-core: it
// paints, "new" and the address, links at several device scales against the desktop
// program's PNG, Back, a bad link, Save PNG, and an engine that fails or cannot start.
import assert from 'node:assert/strict';
import { existsSync, readFileSync, readdirSync } from 'node:fs';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';
import puppeteer from 'puppeteer-core';

import { assertSamePixels, desktopFigure, kCanvasBase64, kCode, kKeepSavedPng, scratch, serveSite, stopServing } from './harness.mjs';
import { readPng } from './png.mjs';

const screenshot = process.env.TAVELUNE_SCREENSHOT;  // where to keep a picture of the page
let origin;
let browser;

before(async () => {
  origin = await serveSite();
});

after(stopServing);

const kEngines = {
  chromium: () => puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    userDataDir: join(scratch, 'chromium'),
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--disable-quic', '--no-first-run'],
  }),
  firefox: () => puppeteer.launch({
    browser: 'firefox',
    executablePath: process.env.FIREFOX ?? '/usr/bin/firefox-esr',
    headless: true,
    userDataDir: join(scratch, 'firefox'),
    extraPrefsFirefox: { 'network.proxy.type': 0, 'app.update.enabled': false },
  }),
};

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

const canvasPixels = async (page) => new Uint8Array(Buffer.from(await page.evaluate(kCanvasBase64), 'base64'));

for (const engine of Object.keys(kEngines)) describe(engine, () => {
  before(async () => {
    browser = await kEngines[engine]();
  });
  after(async () => {
    await browser?.close();
  });
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
      if (screenshot && engine === 'chromium' && scale === 1) await page.screenshot({ path: screenshot, clip: { x: 0, y: 0, width: 660, height: 620 } });
      await page.close();
    }
  });

  // Puppeteer emulates a phone's touch and viewport in chromium only.
  if (engine === 'chromium') test('on a phone the figure fills the width, at the phone\'s device pixels, and "new" is large enough to touch', async () => {
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

  test('Save PNG writes the desktop\'s figure with its code and resolution, with CompressionStream or without', async () => {
    for (const folder of ['', 'plain/']) {
      const page = await openPage(1.5);
      await page.goto(`${origin}/${folder}#${kCode}`);
      await paintedCode(page);
      const png = readPng(await savedBytes(page));
      const desktop = desktopFigure(kCode, 1.5);
      assert.equal(png.texts['tavelune:figure'], kCode);
      assert.deepEqual(png.dotsPerMetre, desktop.dotsPerMetre);
      assert.equal(png.width, 750);
      assertSamePixels(png.rgba, desktop.rgba, `saved from /${folder}`);
      assert.deepEqual(page.errors, []);
      await page.close();
    }
  });

  test('a link far too long for a code quotes a few dozen of its characters and paints a figure', async () => {
    const page = await openPage();
    await page.goto(`${origin}/#${'A'.repeat(10_000)}`);
    await paintedCode(page);
    const { message, wide } = await page.evaluate(() => ({
      message: document.getElementById('message').textContent,
      wide: document.documentElement.scrollWidth > window.innerWidth,
    }));
    assert.ok(message.length < 200, `the message is ${message.length} characters long`);
    assert.match(message, /^“A{40}…” is not a figure code/);
    assert.equal(wide, false, 'the page grew wider than the window');
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  test('an engine that fails while it paints, or cannot start, is said so: no request waits for ever', async () => {
    const page = await openPage();
    await page.goto(`${origin}/failing/`);
    await page.waitForFunction(() => document.getElementById('message').textContent.includes('engine failed'),
      { timeout: 20_000 });
    await page.evaluate((code) => { location.hash = code; }, kCode);
    assert.equal(await paintedCode(page), kCode, 'the engine, started afresh, paints the next figure');
    await page.goto(`${origin}/broken/#${kCode}`);
    await page.waitForFunction(() => document.getElementById('message').textContent.includes('could not start'),
      { timeout: 20_000 });
    assert.deepEqual(page.errors, []);
    await page.close();
  });

  // The bytes of the PNG that Save PNG hands the browser: where the driver can catch the
  // download (chromium), the file saved; elsewhere, the blob the page's link points at.
  async function savedBytes(page) {
    if (engine === 'chromium') {
      const downloads = join(scratch, `downloads-${Date.now()}`);
      const session = await page.createCDPSession();
      await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
      await page.click('#save');
      const saved = join(downloads, `tavelune-${kCode}.png`);
      for (let tries = 0; tries < 200 && !(existsSync(saved) && readdirSync(downloads).length === 1); ++tries) {
        await new Promise((resolve) => setTimeout(resolve, 50));
      }
      return readFileSync(saved);
    }
    await page.evaluate(kKeepSavedPng);
    await page.click('#save');
    return Buffer.from(await page.evaluate(() => window.savedPng), 'base64');
  }
});
