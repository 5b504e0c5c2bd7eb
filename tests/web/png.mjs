// Reading PNG files in the tests: what the desktop program writes and what the page saves.
import { inflateSync } from 'node:zlib';

// { width, height, rgba, texts, dotsPerMetre } of an 8-bit RGB or RGBA PNG, not interlaced.
export function readPng(bytes) {
  const signature = [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a];
  if (!signature.every((b, i) => bytes[i] === b)) throw new Error('not a PNG file');
  let width = 0, height = 0, channels = 0, dotsPerMetre = null;
  const texts = {};
  const data = [];
  for (let at = 8; at < bytes.length;) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[12] !== 0) throw new Error('only 8-bit, not interlaced');
      channels = { 2: 3, 6: 4 }[body[9]];
    } else if (type === 'pHYs' && body[8] === 1) {
      dotsPerMetre = [body.readUInt32BE(0), body.readUInt32BE(4)];
    } else if (type === 'tEXt') {
      const zero = body.indexOf(0);
      texts[body.toString('latin1', 0, zero)] = body.toString('latin1', zero + 1);
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rgba = new Uint8Array(width * height * 4);
  let previous = new Uint8Array(stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const row = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const line = new Uint8Array(stride);
    for (let x = 0; x < stride; ++x) {
      const a = x >= channels ? line[x - channels] : 0;
      const b = previous[x];
      const c = x >= channels ? previous[x - channels] : 0;
      const p = a + b - c;
      const paeth = Math.abs(p - a) <= Math.abs(p - b) && Math.abs(p - a) <= Math.abs(p - c) ? a
        : Math.abs(p - b) <= Math.abs(p - c) ? b : c;
      const predicted = [0, a, b, (a + b) >> 1, paeth][filter];
      line[x] = (row[x] + predicted) & 0xff;
    }
    for (let x = 0; x < width; ++x) {
      rgba.set(line.subarray(x * channels, x * channels + 3), (y * width + x) * 4);
      rgba[(y * width + x) * 4 + 3] = channels === 4 ? line[x * channels + 3] : 255;
    }
    previous = line;
  }
  return { width, height, rgba, texts, dotsPerMetre };
}
