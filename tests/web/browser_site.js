'use strict';
// What the tests that play the page in Chromium share: the site served on a
// free port of 127.0.0.1, Chromium's launch options, the headless game's
// reference frames and a reader of screenshots. run_browser_test.sh sets up
// the environment (RALLIX_SITE, RALLIX_REFERENCES, RALLIX_CHROMIUM).

const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const zlib = require('node:zlib');

const REFERENCES = process.env.RALLIX_REFERENCES;
const WIDTH = 640;
const HEIGHT = 480;

const CONTENT_TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

// The site folder on a free port of 127.0.0.1, which notes the files asked
// for (`requests`). The test can take it off the network (`offline`),
// leave files out (`missing`), change them (`changed`: file name to a
// function of its bytes) and rename the service worker's store, as a new
// build would (`store`).
function serve(folder, missing = [], changed = {}, inPieces = false) {
  const server = http.createServer((request, response) => {
    if (server.offline) {
      request.socket.destroy();
      return;
    }
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    server.requests.push(name);
    const file = path.join(folder, name === '/' ? 'index.html' : name);
    if (!file.startsWith(folder + path.sep) || !fs.existsSync(file) ||
        missing.includes(path.basename(file))) {
      response.writeHead(404).end();
      return;
    }
    const type = CONTENT_TYPES[path.extname(file)] || 'application/octet-stream';
    response.writeHead(200, {'Content-Type': type});
    if (changed[path.basename(file)]) {
      response.end(changed[path.basename(file)](fs.readFileSync(file)));
      return;
    }
    if (inPieces && path.basename(file) === 'index.html') {
      // As a slow network brings it: the page's last script cut in two, the
      // rest a moment later.
      const bytes = fs.readFileSync(file);
      const cut = bytes.lastIndexOf('<script') + 200;
      response.write(bytes.subarray(0, cut));
      setTimeout(() => response.end(bytes.subarray(cut)), 300);
      return;
    }
    if (server.store && path.basename(file) === 'service-worker.js') {
      response.end(fs.readFileSync(file, 'utf8').replace(/rallix-[0-9a-f]+/, server.store));
      return;
    }
    fs.createReadStream(file).pipe(response);
  });
  server.requests = [];
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => resolve(server));
  });
}

const addressOf = (server) => `http://127.0.0.1:${server.address().port}/`;

// A frame of the headless game written by rallix_screen, as a string of '0'
// (black) and '1' (white), one character a pixel.
function readReference(name) {
  const bytes = fs.readFileSync(path.join(REFERENCES, name + '.pgm'));
  const header = `P5\n${WIDTH} ${HEIGHT}\n255\n`;
  assert.equal(bytes.subarray(0, header.length).toString('latin1'), header);
  let pixels = '';
  for (let i = header.length; i < bytes.length; ++i) pixels += bytes[i] === 0 ? '0' : '1';
  assert.equal(pixels.length, WIDTH * HEIGHT);
  return pixels;
}

// A screenshot's pixels: 8-bit RGB or RGBA PNG as Chromium writes it.
function decodePng(png) {
  let width = 0;
  let height = 0;
  let channels = 0;
  const data = [];
  for (let at = 8; at < png.length;) {
    const length = png.readUInt32BE(at);
    const kind = png.toString('latin1', at + 4, at + 8);
    const body = png.subarray(at + 8, at + 8 + length);
    if (kind === 'IHDR') {
      [width, height] = [body.readUInt32BE(0), body.readUInt32BE(4)];
      channels = {0: 1, 2: 3, 6: 4}[body[9]];
      assert.ok(body[8] === 8 && channels && body[12] === 0, 'an unexpected PNG format');
    } else if (kind === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const pixels = Buffer.alloc(stride * height);
  const paeth = (a, b, c) => {
    const p = a + b - c;
    const [pa, pb, pc] = [Math.abs(p - a), Math.abs(p - b), Math.abs(p - c)];
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
  };
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; ++x) {
      const a = x >= channels ? pixels[y * stride + x - channels] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? pixels[(y - 1) * stride + x - channels] : 0;
      const predicted = [0, a, b, (a + b) >> 1, paeth(a, b, c)][filter];
      pixels[y * stride + x] = (raw[y * (stride + 1) + 1 + x] + predicted) & 255;
    }
  }
  return {width, height, channels, pixels};
}

const LAUNCH = {
  executablePath: process.env.RALLIX_CHROMIUM,
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--no-first-run'],
};

module.exports = {WIDTH, HEIGHT, LAUNCH, serve, addressOf, readReference, decodePng};
