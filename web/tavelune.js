// tavelune in the browser. This one module is both the page and the worker that paints for
// it: the page never computes a figure itself, so it answers while one is being painted.

const kFigureSide = 500;
const kMostScale = 8;
// The PNG's resolution: 96 dpi at scale 1, so that every scale prints at one size.
const kDotsPerMetre = 96 / 0.0254;
const kCodeKey = 'tavelune:figure';

// Why the engine painted nothing, by the number it returns.
const kFaults = {
  1: (code) => `“${code}” is not a figure code: a code has 18 letters and digits.`,
  2: (code) => `“${code}” is not a figure code: it has a character that no code has (a code is of 0-9 and A-Z without U).`,
  3: (code) => `“${code}” is not a figure code: its characters do not agree with their check; it may be mistyped.`,
  4: () => 'There is not enough memory for a figure this large.',
  5: () => 'The figure could not be seeded from the clock.',
  6: () => 'The figures cannot be painted here: this browser could not start the engine.',
  7: () => 'The figure could not be painted: the engine failed. Press "new" to try again.',
};
const kCodeLength = 1;
const kNoEngine = 6;
const kLongestTyped = 256;
const kEngineFailed = 7;
// A fragment is quoted in a message up to this many characters, so that a long one cannot
// swamp the page.
const kMostQuoted = 40;
const kCodeFaults = new Set([1, 2, 3]);

if (typeof document === 'undefined') {
  serveFigures();
} else {
  showFigures();
}

// ---- The worker: the engine, one request at a time, in the order they came. ----

function serveFigures() {
  const startEngine = () => {
    const started = import('./engine.js').then(({ default: createEngine }) => createEngine());
    started.catch(() => {});  // answered at the next request, not left to the console
    return started;
  };
  let engine = startEngine();
  // Every request gets an answer: an engine that cannot start, or that fails while it paints
  // (it aborts: the web build has no exceptions), is said so, and a failed one is started
  // afresh for the next request.
  self.onmessage = async ({ data: request }) => {
    let e;
    try {
      e = await engine;
    } catch {
      engine = startEngine();
      self.postMessage({ id: request.id, fault: kNoEngine });
      return;
    }
    try {
      self.postMessage(...await serve(e, request));
    } catch {
      engine = startEngine();
      self.postMessage({ id: request.id, fault: kEngineFailed });
    }
  };
}

// The answer to one request, as postMessage's arguments.
async function serve(e, request) {
  if (request.png) {
    const { pixels, side, code, scale } = request.png;
    return [{ id: request.id, png: await encodePng(pixels, side, code, scale) }];
  }
  // Text far longer than any code, as typed with separators, is refused before it reaches
  // the engine, on whose small stack it would be copied.
  if (request.code !== undefined && request.code.length > kLongestTyped) return [{ id: request.id, fault: kCodeLength }];
  const started = performance.now();
  const fault = request.code === undefined
    ? e._tavelune_paint_new(request.scale)
    : e.ccall('tavelune_paint_code', 'number', ['string', 'number'], [request.code, request.scale]);
  if (fault !== 0) return [{ id: request.id, fault }];
  const side = e._tavelune_side();
  const start = e._tavelune_pixels();
  const pixels = e.HEAPU8.slice(start, start + side * side * 4);
  return [{
    id: request.id,
    code: e.UTF8ToString(e._tavelune_code()),
    side,
    scale: request.scale,
    milliseconds: performance.now() - started,
    pixels,
  }, [pixels.buffer]];
}

// ---- The page. ----

function showFigures() {
  const picture = document.getElementById('picture');
  const newButton = document.getElementById('new');
  const saveButton = document.getElementById('save');
  const copyButton = document.getElementById('copy-link');
  const codeOutput = document.getElementById('code');
  const message = document.getElementById('message');
  const context = picture.getContext('2d', { alpha: false });
  const worker = new Worker(new URL(import.meta.url), { type: 'module' });

  const devicePixelsAcross = () => Math.round(picture.getBoundingClientRect().width * window.devicePixelRatio);
  let boxScale = devicePixelsAcross() / kFigureSide;
  let shown = null;  // { code, side, scale, pixels } of the figure on the canvas
  let nextId = 1;
  const waiting = new Map();

  // The typed text as a message quotes it: at most kMostQuoted characters.
  const quoted = (typed) => ([...typed].length > kMostQuoted ? `${[...typed].slice(0, kMostQuoted).join('')}…` : typed);
  const ask = (request) => new Promise((resolve) => {
    const id = nextId++;
    waiting.set(id, resolve);
    worker.postMessage({ ...request, id });
  });
  worker.onmessage = ({ data: reply }) => {
    const resolve = waiting.get(reply.id);
    waiting.delete(reply.id);
    resolve(reply);
  };
  // A worker that cannot run at all (no module workers): every request waiting is answered.
  worker.onerror = (event) => {
    event.preventDefault();
    for (const resolve of waiting.values()) resolve({ fault: kNoEngine });
    waiting.clear();
  };

  const scale = () => Math.min(kMostScale, boxScale);
  // The fragment as typed; one that is not even well-formed percent-encoding is taken as it
  // stands, and refused as a code like any other text.
  function codeInAddress() {
    const fragment = location.hash.slice(1);
    try {
      return decodeURIComponent(fragment).trim();
    } catch {
      return fragment.trim();
    }
  }
  const linkTo = (code) => `${location.origin}${location.pathname}${location.search}#${code}`;

  function tell(text) {
    message.textContent = text;
  }

  function show(reply) {
    picture.width = reply.side;
    picture.height = reply.side;
    context.putImageData(new ImageData(new Uint8ClampedArray(reply.pixels.buffer), reply.side, reply.side), 0, 0);
    shown = reply;
    codeOutput.value = reply.code;
    picture.setAttribute('aria-description', reply.code);
    saveButton.disabled = false;
    copyButton.disabled = false;
    performance.mark('figure painted', { detail: { code: reply.code, milliseconds: reply.milliseconds } });
    followScale();  // the box may have changed while the figure was painted
  }

  // A new figure from the clock, from the directions the last one left; its code joins the
  // browser's history, or takes the place of the address it was asked for by.
  async function paintNew(addToHistory) {
    const reply = await ask({ scale: scale() });
    if (reply.fault) {
      tell(kFaults[reply.fault]());
      return;
    }
    show(reply);
    if (addToHistory) history.pushState(null, '', `#${reply.code}`);
    else history.replaceState(null, '', `#${reply.code}`);
  }

  // The figure of a code as typed; one that is refused is said so, and a new figure painted
  // in its place, so that the surface is never left blank.
  async function paintCode(typed) {
    const reply = await ask({ code: typed, scale: scale() });
    if (kCodeFaults.has(reply.fault)) {
      tell(kFaults[reply.fault](quoted(typed)));
      await paintNew(false);
      return;
    }
    if (reply.fault) {
      tell(kFaults[reply.fault]());
      return;
    }
    show(reply);
    if (codeInAddress() !== reply.code) history.replaceState(null, '', `#${reply.code}`);
  }

  function paintAddressed() {
    const typed = codeInAddress();
    return typed ? paintCode(typed) : paintNew(false);
  }

  // The figure is painted at the device pixels its box covers, which follow the layout, the
  // page's zoom and the screen's density; a change repaints it once the change has come to
  // rest. The box is watched in device pixels, so that a zoom is seen, but they are counted
  // from the CSS size, which an emulated density changes too.
  // Where the browser does not watch device pixels (WebKit), the CSS box is watched, and the
  // density through a media query on it, which a zoom or another screen changes.
  let refitting = 0;
  const refit = () => {
    boxScale = devicePixelsAcross() / kFigureSide;
    clearTimeout(refitting);
    refitting = setTimeout(followScale, 150);
  };
  const watchDensity = () => {
    matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', () => {
      refit();
      watchDensity();
    }, { once: true });
  };
  if (typeof ResizeObserver === 'undefined') {
    window.addEventListener('resize', refit);
    watchDensity();
  } else {
    const observer = new ResizeObserver(refit);
    try {
      observer.observe(picture, { box: 'device-pixel-content-box' });
    } catch {
      observer.observe(picture);
      watchDensity();
    }
  }
  function followScale() {
    if (shown && scale() !== shown.scale) paintCode(shown.code);
  }

  async function savePng() {
    if (!shown) return;
    const { code, side, scale: figureScale, pixels } = shown;
    const reply = await ask({ png: { pixels: pixels.slice(), side, code, scale: figureScale } });
    if (reply.fault) {
      tell('The PNG could not be made.');
      return;
    }
    const link = document.createElement('a');
    link.href = URL.createObjectURL(reply.png);
    link.download = `tavelune-${code}.png`;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 60_000);
  }

  async function copyLink() {
    if (!shown) return;
    try {
      await navigator.clipboard.writeText(linkTo(shown.code));
      tell('The link is copied.');
    } catch {
      tell(`The link could not be copied; it is ${linkTo(shown.code)}`);
    }
  }

  newButton.addEventListener('click', () => {
    tell('');
    paintNew(true);
  });
  saveButton.addEventListener('click', savePng);
  copyButton.addEventListener('click', copyLink);
  // Back, Forward, or a code typed into the address.
  window.addEventListener('hashchange', () => {
    if (codeInAddress() !== shown?.code) {
      tell('');
      paintAddressed();
    }
  });
  newButton.focus();
  paintAddressed();
}

// ---- PNG, as the desktop writes it: 8-bit RGB, its resolution, and the code in a text chunk. ----

async function encodePng(rgba, side, code, scale) {
  const rowBytes = side * 3;
  const rows = new Uint8Array((rowBytes + 1) * side);
  const previous = new Uint8Array(rowBytes);
  const current = new Uint8Array(rowBytes);
  const candidates = [0, 1, 2].map(() => new Uint8Array(rowBytes));
  for (let y = 0; y < side; ++y) {
    for (let x = 0, i = y * side * 4; x < rowBytes; x += 3, i += 4) {
      current[x] = rgba[i];
      current[x + 1] = rgba[i + 1];
      current[x + 2] = rgba[i + 2];
    }
    // None, Sub or Up, whichever leaves the smallest sum of bytes as signed numbers.
    let best = 0;
    let bestCost = Infinity;
    for (let filter = 0; filter < 3; ++filter) {
      const out = candidates[filter];
      let cost = 0;
      for (let x = 0; x < rowBytes; ++x) {
        const before = filter === 1 ? (x >= 3 ? current[x - 3] : 0) : filter === 2 ? previous[x] : 0;
        const value = (current[x] - before) & 0xff;
        out[x] = value;
        cost += value < 128 ? value : 256 - value;
      }
      if (cost < bestCost) {
        bestCost = cost;
        best = filter;
      }
    }
    const at = y * (rowBytes + 1);
    rows[at] = best;
    rows.set(candidates[best], at + 1);
    previous.set(current);
  }
  const compressed = typeof CompressionStream === 'undefined'
    ? storedZlib(rows)
    : new Uint8Array(await new Response(
      new Blob([rows]).stream().pipeThrough(new CompressionStream('deflate'))).arrayBuffer());

  const header = new Uint8Array(13);
  const view = new DataView(header.buffer);
  view.setUint32(0, side);
  view.setUint32(4, side);
  header.set([8, 2, 0, 0, 0], 8);  // 8 bits, RGB, deflate, adaptive filters, not interlaced
  const resolution = new Uint8Array(9);
  const dots = Math.round(kDotsPerMetre * scale);
  new DataView(resolution.buffer).setUint32(0, dots);
  new DataView(resolution.buffer).setUint32(4, dots);
  resolution[8] = 1;  // per metre
  const text = new TextEncoder().encode(`${kCodeKey}\0${code}`);

  return new Blob([
    new Uint8Array([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', header),
    chunk('pHYs', resolution),
    chunk('tEXt', text),
    chunk('IDAT', compressed),
    chunk('IEND', new Uint8Array(0)),
  ], { type: 'image/png' });
}

// A zlib stream of stored, uncompressed deflate blocks: a valid PNG, larger, where the
// browser has no CompressionStream.
function storedZlib(bytes) {
  const kBlock = 65535;
  const blocks = Math.max(1, Math.ceil(bytes.length / kBlock));
  const out = new Uint8Array(2 + blocks * 5 + bytes.length + 4);
  out.set([0x78, 0x01]);
  let at = 2;
  for (let b = 0; b < blocks; ++b) {
    const block = bytes.subarray(b * kBlock, (b + 1) * kBlock);
    out[at] = b === blocks - 1 ? 1 : 0;  // BFINAL, and BTYPE 00: stored
    new DataView(out.buffer).setUint16(at + 1, block.length, true);
    new DataView(out.buffer).setUint16(at + 3, ~block.length & 0xffff, true);
    out.set(block, at + 5);
    at += 5 + block.length;
  }
  let a = 1;
  let d = 0;
  for (const byte of bytes) {
    a = (a + byte) % 65521;
    d = (d + a) % 65521;
  }
  new DataView(out.buffer).setUint32(at, ((d << 16) | a) >>> 0);
  return out;
}

function chunk(type, data) {
  const chunk = new Uint8Array(12 + data.length);
  const view = new DataView(chunk.buffer);
  view.setUint32(0, data.length);
  chunk.set(new TextEncoder().encode(type), 4);
  chunk.set(data, 8);
  view.setUint32(8 + data.length, crc32(chunk.subarray(4, 8 + data.length)));
  return chunk;
}

let crcTable = null;
function crc32(bytes) {
  if (!crcTable) {
    crcTable = new Uint32Array(256);
    for (let n = 0; n < 256; ++n) {
      let c = n;
      for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
      crcTable[n] = c >>> 0;
    }
  }
  let crc = 0xffffffff;
  for (const byte of bytes) crc = crcTable[(crc ^ byte) & 0xff] ^ (crc >>> 8);
  return (crc ^ 0xffffffff) >>> 0;
}
