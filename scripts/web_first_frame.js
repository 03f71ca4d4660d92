'use strict';
// How soon the page shows the title: each site given is served on a free port
// of 127.0.0.1 and opened in a fresh Chromium context (nothing cached, no
// service worker) again and again, the sites in turn, so that a busy machine
// weighs on each alike. A run's figure is the time from navigation to the
// first animation frame after the canvas was first painted with lit pixels.
// Then, per site, what a first visit fetches (the server's log, until the
// service worker has stored the site) and what each file weighs.
// Run by scripts/bench-web.sh:  node web_first_frame.js NAME=SITE_DIR...
// (RALLIX_RUNS runs each, 15 by default).

const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const zlib = require('node:zlib');

const RUNS = Number(process.env.RALLIX_RUNS || 15);
const TYPES = {'.html': 'text/html; charset=utf-8', '.css': 'text/css', '.js': 'text/javascript',
  '.wasm': 'application/wasm', '.png': 'image/png', '.webmanifest': 'application/manifest+json'};

// The site on a free port; every request is logged with its time. With
// `compress`, gzipped for a browser that takes it, as a web host serves it.
function serve(folder, {compress = false} = {}) {
  const log = [];
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(folder, name === '/' ? 'index.html' : name);
    const entry = {at: Date.now(), method: request.method, path: name, status: 404, bytes: 0};
    log.push(entry);
    if (!file.startsWith(folder + path.sep) || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    let body = fs.readFileSync(file);
    const headers = {'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
      'Last-Modified': fs.statSync(file).mtime.toUTCString()};
    if (compress && /gzip/.test(request.headers['accept-encoding'] || '') &&
        path.extname(file) !== '.png') {
      body = zlib.gzipSync(body, {level: 9});
      headers['Content-Encoding'] = 'gzip';
    }
    [entry.status, entry.bytes] = [200, body.length];
    response.writeHead(200, headers);
    response.end(body);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => {
    server.log = log;
    server.address_ = `http://127.0.0.1:${server.address().port}/`;
    resolve(server);
  }));
}

// Notes when the WebAssembly is made the program's, the first putImageData
// that lights a pixel and the frame after it.
function watchCanvas() {
  for (const name of ['instantiate', 'instantiateStreaming']) {
    const instantiate = WebAssembly[name];
    WebAssembly[name] = function(...made) {
      return instantiate.apply(this, made).then((instance) => {
        window.rallixMade = window.rallixMade || performance.now();
        return instance;
      });
    };
  }
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function(image, ...rest) {
    if (!window.rallixLit) {
      const data = image.data;
      for (let i = 0; i < data.length; i += 4) {
        if (data[i]) {
          window.rallixLit = performance.now();
          requestAnimationFrame(() => { window.rallixShown = performance.now(); });
          break;
        }
      }
    }
    return put.call(this, image, ...rest);
  };
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

// `work` done with a new page of a new browser context (nothing cached, no
// service worker), closed after.
async function inNewPage(browser, work) {
  const context = await browser.newContext({viewport: {width: 1024, height: 768}});
  try {
    return await work(await context.newPage());
  } finally {
    await context.close();
  }
}

async function firstFrame(browser, server) {
  return inNewPage(browser, async (page) => {
    await page.addInitScript(watchCanvas);
    await page.goto(server.address_);
    await page.waitForFunction(() => window.rallixShown, null, {timeout: 20000});
    return await page.evaluate(() => {
      const file = (name) => performance.getEntriesByType('resource')
          .find((entry) => entry.name.endsWith(name));
      const span = (name) => file(name) ?
        `${file(name).startTime.toFixed(0)}-${file(name).responseEnd.toFixed(0)}` : '-';
      const paint = performance.getEntriesByType('paint')[0];
      return {shown: window.rallixShown, lit: window.rallixLit, made: window.rallixMade,
        loaded: performance.getEntriesByType('navigation')[0].domContentLoadedEventStart,
        painted: paint ? paint.startTime : NaN,
        files: `js ${span('rallix.js')}, wasm ${span('rallix.wasm')}, data ${span('rallix.data')}`};
    });
  });
}

// The browser's own part: how soon a page of one line of script runs it
// after navigation, served and opened as the sites are. No page starts
// sooner than this.
async function firstScript(browser, server) {
  return inNewPage(browser, async (page) => {
    await page.goto(server.address_);
    return await page.evaluate(() => window.rallixFirstScript);
  });
}

// What a first visit asks the server for, until the service worker has
// stored the site and a second later.
async function firstVisit(browser, server) {
  return inNewPage(browser, async (page) => {
    server.log.length = 0;
    await page.goto(server.address_);
    await page.waitForFunction(() => window.Module && Module.rallix && Module.rallix.passes() > 2);
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    await page.waitForFunction(() => navigator.serviceWorker.controller, null, {timeout: 20000});
    await new Promise((resolve) => setTimeout(resolve, 1000));
    const start = server.log[0].at;
    return server.log.map((entry) => `  ${String(entry.at - start).padStart(5)} ms  ` +
        `${entry.method} ${entry.path} ${entry.status} ${entry.bytes} bytes`);
  });
}

function sizes(folder) {
  const rows = [];
  let raw = 0;
  let packed = 0;
  for (const name of fs.readdirSync(folder).sort()) {
    const bytes = fs.readFileSync(path.join(folder, name));
    const gzip = zlib.gzipSync(bytes, {level: 9}).length;
    rows.push(`  ${name.padEnd(24)} ${String(bytes.length).padStart(8)} ${String(gzip).padStart(8)}`);
    raw += bytes.length;
    packed += gzip;
  }
  rows.push(`  ${'all'.padEnd(24)} ${String(raw).padStart(8)} ${String(packed).padStart(8)}`);
  return rows;
}

async function main() {
  const sites = process.argv.slice(2).map((argument) => {
    const [name, folder] = argument.split('=');
    return {name, folder: path.resolve(folder), times: [], lit: [], steps: [],
      alone: name === 'page-alone'};  // the page without the program (bench-web.sh)
  });
  const programs = sites.filter((site) => !site.alone);
  const {chromium} = require('playwright-core');
  const browser = await chromium.launch({executablePath: process.env.RALLIX_CHROMIUM || '/usr/bin/chromium',
    headless: true, args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync']});
  try {
    for (const site of sites) site.server = await serve(site.folder);
    const blank = fs.mkdtempSync(path.join(require('node:os').tmpdir(), 'rallix-blank-'));
    fs.writeFileSync(path.join(blank, 'index.html'),
        '<!doctype html><title>-</title><script>window.rallixFirstScript = performance.now()</script>');
    const floor = {server: await serve(blank), times: []};
    // A first run of each warms the machine's caches of the files.
    for (const site of sites) await firstFrame(browser, site.server);
    for (let run = 0; run < RUNS; ++run) {
      for (const site of sites) {
        const seen = await firstFrame(browser, site.server);
        site.times.push(seen.shown);
        site.lit.push(seen.lit);
        site.steps.push(seen);
        site.files = seen.files;
      }
      floor.times.push(await firstScript(browser, floor.server));
    }
    floor.server.close();
    fs.rmSync(blank, {recursive: true});
    console.log(`Navigation to the title on the canvas, ${RUNS} runs each (ms):`);
    for (const site of sites) {
      const t = site.times;
      console.log(`  ${site.name.padEnd(10)} median ${median(t).toFixed(0)}, range ` +
          `${Math.min(...t).toFixed(0)}-${Math.max(...t).toFixed(0)}; painted at median ` +
          `${median(site.lit).toFixed(0)}; last run's files (start-end): ${site.files}`);
    }
    console.log(`  (a page of one line of script runs it at median ${median(floor.times).toFixed(0)}, ` +
        `range ${Math.min(...floor.times).toFixed(0)}-${Math.max(...floor.times).toFixed(0)}: the browser's own part)`);
    console.log('\nOn the way (medians, ms from navigation): the page\'s scripts run (DOMContentLoaded),' +
        '\nthe page first drawn, the WebAssembly made the program\'s, the canvas lit:');
    for (const site of programs) {
      const at = (step) => median(site.steps.map((seen) => seen[step])).toFixed(0);
      console.log(`  ${site.name.padEnd(10)} scripts ${at('loaded')}, drawn ${at('painted')}, ` +
          `program ${at('made')}, lit ${at('lit')}; the program's start to the lit canvas ` +
          `${median(site.steps.map((seen) => seen.lit - seen.made)).toFixed(0)} (the median of each run's)`);
    }
    for (const site of programs) {
      console.log(`\nA first visit to ${site.name}, as the server saw it:`);
      console.log((await firstVisit(browser, site.server)).join('\n'));
      console.log(`\nThe files of ${site.name} (bytes, gzip -9):`);
      console.log(sizes(site.folder).join('\n'));
    }
  } finally {
    await browser.close();
    for (const site of sites) if (site.server) site.server.close();
  }
}

module.exports = {serve};

if (require.main === module) {
  main().catch((error) => {
    console.error(error);
    process.exit(1);
  });
}
