'use strict';
// The browser build played in Debian's Chromium with real key and touch
// input (the gamepads are page_test.js's): on a desktop page, on a 2560 x
// 1440 screen, on a phone, offline, with a file missing, and recording and
// playing demos. The site is served on 127.0.0.1; the canvas is read back
// pixel by pixel and, cell by cell against the game's glyphs, as text. Run
// by run_browser_test.sh, which sets up the environment below; ctest adds
// the demos' (RALLIX_DEMOS, RALLIX_SCREEN, RALLIX_PROGRAM).

const test = require('node:test');
const assert = require('node:assert/strict');
const {execFileSync, spawnSync} = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const {chromium} = require('playwright-core');

const SITE = process.env.RALLIX_SITE;
const REFERENCES = process.env.RALLIX_REFERENCES;
const site = require('./browser_site.js');
const {WIDTH, HEIGHT, serve, addressOf, readReference, decodePng} = site;
const CELL = 16;
// How long a wait looks for what it waits for: far more than the page needs
// on a busy machine, and short enough that a page that hangs fails at once.
const WAIT_MS = 10000;

// Every test and hook fails, saying where it stood, once it takes longer
// than this: a hang never waits for ctest's bound.
const {describe} = test;
const it = (name, fn) => test.it(name, {timeout: 6 * WAIT_MS}, fn);
const before = (fn) => test.before(fn, {timeout: 6 * WAIT_MS});
const after = (fn) => test.after(fn, {timeout: 6 * WAIT_MS});

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Calls probe() until it returns something true, and returns that. Fails
// naming `what`, and what describe() says of the last call, after `ms`.
async function waitFor(what, probe, {ms = WAIT_MS, describe = () => ''} = {}) {
  const until = Date.now() + ms;
  for (;;) {
    const seen = await probe();
    if (seen) return seen;
    if (Date.now() > until) assert.fail(`waited ${ms} ms for ${what}; ${await describe()}`);
    await sleep(20);
  }
}

// The canvas as the same kind of string, 'x' for a pixel neither black nor white.
function grab(page) {
  return page.evaluate(([width, height]) => {
    const canvas = document.getElementById('screen');
    const data = canvas.getContext('2d').getImageData(0, 0, width, height).data;
    const rows = [];
    for (let y = 0; y < height; ++y) {
      let row = '';
      for (let i = y * width * 4; i < (y + 1) * width * 4; i += 4) {
        const [r, g, b] = [data[i], data[i + 1], data[i + 2]];
        if (r === 0 && g === 0 && b === 0) row += '0';
        else if (r === 255 && g === 255 && b === 255) row += '1';
        else row += 'x';
      }
      rows.push(row);
    }
    return rows.join('');
  }, [WIDTH, HEIGHT]);
}

function describeDifference(shown, expected) {
  let count = 0;
  let first = -1;
  for (let i = 0; i < expected.length; ++i) {
    if (shown[i] !== expected[i]) {
      if (first < 0) first = i;
      ++count;
    }
  }
  if (count === 0) return '';
  return `${count} pixels differ, the first at (${first % WIDTH}, ${Math.floor(first / WIDTH)})`;
}

// Reads a grabbed canvas as 30 lines of 40 characters, '?' for a cell that
// shows no glyph (the ball between cells).
class ScreenReader {
  constructor(table) {
    this.glyphs = new Map();
    for (const glyph of table.glyphs) {
      const bits = glyph.rows.join('');
      if (!this.glyphs.has(bits)) this.glyphs.set(bits, glyph.c);
    }
  }

  cell(pixels, column, row) {
    let bits = '';
    for (let y = row * CELL; y < (row + 1) * CELL; ++y) {
      bits += pixels.substr(y * WIDTH + column * CELL, CELL);
    }
    return this.glyphs.get(bits) || '?';
  }

  lines(pixels) {
    const lines = [];
    for (let row = 0; row < HEIGHT / CELL; ++row) {
      let line = '';
      for (let column = 0; column < WIDTH / CELL; ++column) line += this.cell(pixels, column, row);
      lines.push(line);
    }
    return lines;
  }
}

// The bounding box of the white pixels inside the court's playing columns,
// rows 2 to 22: between the paddles only the ball is drawn there.
function findBall(pixels) {
  let box = null;
  for (let y = 2 * CELL; y < 23 * CELL; ++y) {
    for (let x = CELL; x < 21 * CELL; ++x) {
      if (pixels[y * WIDTH + x] === '0') continue;
      if (!box) box = {left: x, top: y, right: x, bottom: y};
      box.left = Math.min(box.left, x);
      box.right = Math.max(box.right, x);
      box.top = Math.min(box.top, y);
      box.bottom = Math.max(box.bottom, y);
    }
  }
  return box;
}

// Where the game's elements are on the page, in CSS pixels.
function boxes(page) {
  return page.evaluate(() => {
    const box = (selector) => {
      const r = document.querySelector(selector).getBoundingClientRect();
      return {left: r.left, top: r.top, right: r.right, bottom: r.bottom,
              width: r.width, height: r.height};
    };
    return {canvas: box('#screen'), stage: box('#stage'), header: box('header'),
            footer: box('footer'), move: box('#move'), act: box('#act'),
            viewport: {width: innerWidth, height: innerHeight},
            scroll: [scrollX, scrollY, document.documentElement.scrollHeight]};
  });
}

// The page's layout shift so far: the sum of its layout-shift entries.
const layoutShift = (page) => page.evaluate(() => new Promise((resolve) => {
  let sum = 0;
  new PerformanceObserver((list) => list.getEntries().forEach((entry) => { sum += entry.value; }))
      .observe({type: 'layout-shift', buffered: true});
  setTimeout(() => resolve(sum), 100);
}));

let browser;
let reader;

// One tab of its own: its screen read as text, and its errors.
class Tab {
  constructor(page) {
    this.page = page;
    this.errors = [];
    page.on('pageerror', (error) => this.errors.push(error.message));
    page.on('console', (message) => {
      if (message.type() === 'error') this.errors.push(message.text());
    });
  }

  async open(server) {
    await this.page.goto(addressOf(server));
    await this.page.waitForFunction(
        () => window.Module && Module.rallix && Module.rallix.passes() > 2);
  }

  async text() {
    return reader.lines(await grab(this.page));
  }

  // Polls the screen until `test` holds for its lines; returns them.
  async waitForScreen(what, test) {
    let lines;
    await waitFor(`the screen to show ${what}`, async () => test(lines = await this.text()),
        {describe: () => `it shows:\n${lines.join('\n')}`});
    return lines;
  }

  // Presses `key` and waits for the screen to show `what`, then for the pass
  // after that one: the game has seen the key let go, and counts its next
  // press, however busy the machine.
  async step(key, what, test) {
    await this.page.keyboard.press(key);
    const lines = await this.waitForScreen(what, test);
    await this.waitForPasses(2);
    return lines;
  }

  passes() {
    return this.page.evaluate(() => Module.rallix.passes());
  }

  // Waits for `count` more passes of the game's frame loop to begin.
  async waitForPasses(count, what = `${count} more passes`, ms = WAIT_MS) {
    const from = await this.passes();
    let now = from;
    await waitFor(what, async () => (now = await this.passes()) >= from + count,
        {ms, describe: async () => `the passes stand at ${now}; the last sounds: ` +
          JSON.stringify(await this.page.evaluate(() => Module.rallix.sounds().slice(-3)))});
  }

  status() {
    return this.page.evaluate(() => document.getElementById('status').textContent);
  }
}

const LAUNCH = {...site.LAUNCH, timeout: 3 * WAIT_MS};

before(async () => {
  reader = new ScreenReader(JSON.parse(fs.readFileSync(path.join(REFERENCES, 'glyphs.json'))));
  browser = await chromium.launch(LAUNCH);
});

after(async () => {
  if (browser) await browser.close();
});

// The site served (its page in two pieces where asked) and opened in a new
// browser context with these options, the game started; closeSite ends both.
async function openSite(options, inPieces = false) {
  const server = await serve(path.resolve(SITE), [], {}, inPieces);
  const context = await browser.newContext(options);
  context.setDefaultTimeout(WAIT_MS);
  const page = await context.newPage();
  const tab = new Tab(page);
  await tab.open(server);
  return {server, context, page, tab};
}

async function closeSite(server, context) {
  if (context) await context.close();
  if (server) server.close();
}

describe('Rallix in Chromium', () => {
  let server;
  let context;
  let tab;
  let page;

  // Down and up at once: the game counts a key pressed between two passes
  // once, in the next pass (press the same key again once its effect shows).
  const press = (key) => page.keyboard.press(key);

  before(async () => {
    ({server, context, page, tab} = await openSite({viewport: {width: 1024, height: 768},
      acceptDownloads: true}));
  });
  after(() => closeSite(server, context));

  it('shows the title screen exactly as the headless game draws it', async () => {
    const shown = await grab(page);
    assert.equal(describeDifference(shown, readReference('title')), '');
    const lines = reader.lines(shown);
    assert.equal(lines[10].substr(6, 6), 'RALLIX');
    assert.equal(lines[13].substr(5, 11), '>GAME START');
    assert.equal(lines[15].substr(6, 6), 'CONFIG');
    assert.equal(lines[17].substr(6, 9), 'QUIT GAME');
    assert.equal(lines[1].substr(23, 7), '  30000');
    assert.equal(await tab.status(), '');
    const shift = await layoutShift(page);
    assert.ok(shift <= 0.1, `the page moved as it loaded: layout shift ${shift}`);
  });

  it('fills a 2560 x 1440 page at the largest whole scale, pixel for pixel', async () => {
    await page.setViewportSize({width: 2560, height: 1440});
    try {
      await page.waitForFunction(() => document.getElementById('screen').clientWidth > 640);
      const {canvas, stage, header, footer, scroll} = await boxes(page);
      const scale = canvas.width / WIDTH;
      console.log(`the canvas on a 2560 x 1440 page: ${canvas.width} x ${canvas.height}, ` +
                  `scale ${scale}`);
      assert.ok(Number.isInteger(scale) && scale >= 2, `scale ${scale}`);
      assert.equal(canvas.height, HEIGHT * scale);
      assert.ok((scale + 1) * WIDTH > stage.width || (scale + 1) * HEIGHT > stage.height,
          `scale ${scale + 1} would fit as well`);
      // The page's title and lines stand over the court or beside it.
      for (const furniture of [header, footer]) {
        assert.ok(furniture.bottom <= canvas.top || furniture.right <= canvas.left ||
            furniture.left >= canvas.right, 'the canvas covers the page\'s text');
      }
      assert.deepEqual(scroll.slice(0, 2), [0, 0]);
      // Every pixel of the screenshot is the title's pixel under it.
      const shot = decodePng(await page.screenshot({clip: {x: canvas.left, y: canvas.top,
        width: canvas.width, height: canvas.height}}));
      assert.deepEqual([shot.width, shot.height], [canvas.width, canvas.height]);
      const title = readReference('title');
      let wrong = 0;
      for (let y = 0; y < shot.height; ++y) {
        for (let x = 0; x < shot.width; ++x) {
          const at = (y * shot.width + x) * shot.channels;
          const [r, g, b] = shot.pixels.subarray(at, at + 3);
          const shown = r === 0 && g === 0 && b === 0 ? '0' : r + g + b === 765 ? '1' : 'x';
          if (shown !== title[Math.floor(y / scale) * WIDTH + Math.floor(x / scale)]) ++wrong;
        }
      }
      assert.equal(wrong, 0, `${wrong} pixels of the screenshot differ from the title`);
    } finally {
      await page.setViewportSize({width: 1024, height: 768});
    }
  });

  it('keeps the 17 ms pass: never more than 58.8 passes per second', async () => {
    // 118 passes take 2 s at the game's pace. A busy machine runs late
    // passes, which only lowers the figure; none comes early: each begins
    // 17 whole milliseconds after the one before, or later.
    const measure = () => page.evaluate(() => [Module.rallix.passes(), performance.now()]);
    const [passes0, time0] = await measure();
    await tab.waitForPasses(118, '118 passes', 3 * WAIT_MS);
    const [passes1, time1] = await measure();
    const gaps = passes1 - passes0 - 1;
    console.log(`passes per second in Chromium: ${(gaps * 1000 / (time1 - time0)).toFixed(2)} ` +
                '(the 17 ms pass: 58.82)');
    assert.ok(17 * gaps <= time1 - time0 + 1, `${gaps + 1} passes in ${time1 - time0} ms`);
  });

  it('counts a key tapped between two passes once, and keeps the game\'s keys', async () => {
    // Down and up within one task: no pass of the game can come between.
    const tap = (code, keyCode) => page.evaluate(([code, keyCode]) => {
      const send = (type) => {
        const event = new KeyboardEvent(type, {code, keyCode, bubbles: true, cancelable: true});
        window.dispatchEvent(event);
        return event.defaultPrevented;
      };
      return send('keydown') && send('keyup');
    }, [code, keyCode]);
    assert.equal(await tap('ArrowDown', 40), true, 'the page scrolls on the game\'s keys');
    await tab.waitForScreen('the mark on CONFIG', (lines) => lines[15].substr(5, 7) === '>CONFIG');
    await tab.waitForPasses(3);
    assert.equal((await tab.text())[15].substr(5, 7), '>CONFIG', 'the tap counted twice');
    await tap('ArrowUp', 38);
    await tab.waitForScreen('the mark on GAME START',
        (lines) => lines[13].substr(5, 11) === '>GAME START');
  });

  it('opens the configuration menu with real keys and changes a setting', async () => {
    await tab.step('ArrowDown', 'the mark on CONFIG',
        (lines) => lines[15].substr(5, 7) === '>CONFIG');
    let lines = await tab.step('Space', 'the configuration menu',
        (lines) => lines[10].substr(1, 11) === '> SET COUNT');
    assert.equal(lines[10].substr(15, 2), ' 5');
    assert.equal(lines[20].substr(3, 4), 'EXIT');
    lines = await tab.step('Space', 'SET COUNT 6', (lines) => lines[10].substr(15, 2) === ' 6');
    // Up from the first item wraps to EXIT; Space there goes back to the title.
    await tab.step('ArrowUp', 'the mark on EXIT', (lines) => lines[20].substr(1, 6) === '> EXIT');
    await tab.step('Space', 'the title', (lines) => lines[13].substr(5, 11) === '>GAME START');
  });

  it('starts a game: the paddles stand in place and the ball moves', async () => {
    await press('Space');
    const lines = await tab.waitForScreen('the paddles of the first rally', (lines) =>
      lines[23].substr(12, 5) === '--+--' && lines[1].includes('-----'));
    assert.equal(lines[23].replace(/[^-+]/g, ''), '--+--');
    const places = new Set();
    await waitFor('the ball in three places', async () => {
      const ball = findBall(await grab(page));
      if (ball) {
        assert.ok(ball.right - ball.left < CELL && ball.bottom - ball.top < CELL,
            `more than the ball in the court: ${JSON.stringify(ball)}`);
        places.add(`${ball.left},${ball.top}`);
      }
      return places.size >= 3;
    }, {describe: () => `the ball was seen at ${[...places].join(' ')}`});
  });

  it('moves the paddle to the left wall while Left is held', async () => {
    await page.keyboard.down('ArrowLeft');
    try {
      await tab.waitForScreen('the paddle at the left wall',
          (lines) => lines[23].substr(0, 6) === '|--+--');
    } finally {
      await page.keyboard.up('ArrowLeft');
    }
  });

  it('plays the sounds through Web Audio', async () => {
    await page.waitForFunction(
        () => Module.rallix.sounds().some((sound) => sound.outcome === 'played'));
    const sounds = await page.evaluate(() => Module.rallix.sounds());
    const silent = sounds.filter((sound) => sound.outcome === 'silent');
    assert.deepEqual(silent, [], 'sounds that could not be played');
    const known = new Set(['pon.WAV', 'pin.WAV', 'pupu.WAV', 'pipopin.WAV', '']);
    for (const sound of sounds) assert.ok(known.has(sound.file), sound.file);
  });

  it('holds the game while a sound plays to its end', async () => {
    // The page's own timers run while the game waits: they see the passes
    // stop for about the sound's length ("pupu.WAV" 0.52 s, "pipopin.WAV" 0.58 s).
    // The next point, whose sound it is, may take a rally or two.
    const hold = await page.evaluate((ms) => new Promise((resolve, reject) => {
      const start = performance.now();
      const earlier = new Set(Module.rallix.sounds());
      let passes = Module.rallix.passes();
      let since = start;
      let longest = 0;
      let heardAt = 0;
      const look = () => {
        const now = performance.now();
        const count = Module.rallix.passes();
        if (count !== passes) {
          longest = Math.max(longest, now - since);
          passes = count;
          since = now;
        }
        const played = (s) => !earlier.has(s) && s.how === 'sync' && s.outcome === 'played';
        if (!heardAt && Module.rallix.sounds().some(played)) heardAt = now;
        if (heardAt && now - heardAt > 800) resolve(longest);
        else if (now - start > ms) reject(new Error(`no sound played to its end in ${ms} ms`));
        else setTimeout(look, 2);
      };
      look();
    }), 2 * WAIT_MS);
    console.log(`the longest wait between two passes: ${hold.toFixed(0)} ms`);
    assert.ok(hold > 450, `the game went on while the sound played (${hold} ms)`);
  });

  it('ends on QUIT GAME, and the play-again button brings back the title', async () => {
    await tab.open(server);
    await tab.waitForScreen('the title', (lines) => lines[13].substr(5, 11) === '>GAME START');
    await tab.step('ArrowDown', 'the mark on CONFIG',
        (lines) => lines[15].substr(5, 7) === '>CONFIG');
    await tab.step('ArrowDown', 'the mark on QUIT GAME',
        (lines) => lines[17].substr(5, 10) === '>QUIT GAME');
    await press('Space');
    await page.waitForFunction(
        () => document.getElementById('status').textContent.includes('ended'));
    const stopped = await tab.passes();
    // Twelve turns of a 17 ms timer of the page's own: a frame loop still
    // going would begin a pass in each.
    await page.evaluate(() => new Promise((done) => {
      let turns = 0;
      const turn = () => (++turns < 12 ? setTimeout(turn, 17) : done());
      setTimeout(turn, 17);
    }));
    assert.equal(await tab.passes(), stopped, 'the frame loop goes on');
    assert.equal(describeDifference(await grab(page), readReference('title-quit')), '');
    // The keys are the page's again.
    const prevented = await page.evaluate(() => {
      const event = new KeyboardEvent('keydown', {code: 'ArrowDown', keyCode: 40, cancelable: true});
      window.dispatchEvent(event);
      return event.defaultPrevented;
    });
    assert.equal(prevented, false, 'the ended game still takes the arrows');

    await page.click('#again');
    const lines = await tab.waitForScreen('the title again',
        (lines) => lines[13].substr(5, 11) === '>GAME START');
    assert.equal(lines[1].substr(23, 7), '  30000');
    assert.ok(await tab.passes() > stopped);
    assert.equal(await tab.status(), '');
    assert.equal(await page.evaluate(() => document.getElementById('again').hidden), true);
  });

  it('plays offline after the first visit, and a new build replaces the stored site', async () => {
    // Installable: the manifest's icons are pictures of their sizes.
    const icons = await page.evaluate(() => fetch('manifest.webmanifest')
        .then((response) => response.json())
        .then((manifest) => Promise.all(manifest.icons.map((icon) => new Promise((resolve) => {
          const image = new Image();
          image.onload = () => resolve(`${icon.sizes}: ${image.naturalWidth}x${image.naturalHeight}`);
          image.onerror = () => resolve(`${icon.sizes}: broken`);
          image.src = icon.src;
        })))));
    assert.deepEqual(icons, ['192x192: 192x192', '512x512: 512x512', '512x512: 512x512']);
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    const stores = () => page.evaluate(() => caches.keys());
    const [first] = await stores();
    assert.match(first, /^rallix-[0-9a-f]{16}$/);
    server.offline = true;
    await context.setOffline(true);
    try {
      await tab.open(server);
      await tab.waitForScreen('the title offline',
          (lines) => lines[13].substr(5, 11) === '>GAME START');
      assert.equal(await tab.status(), '');
    } finally {
      server.offline = false;
      await context.setOffline(false);
    }
    server.store = 'rallix-0123456789abcdef';
    await page.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.update()));
    let names;
    await waitFor('the new build\'s store alone', async () =>
      (names = await stores()).join() === server.store, {describe: () => `stores: ${names}`});
  });

  it('had no errors on the page', () => {
    assert.deepEqual(tab.errors, []);
  });
});

describe('Demos in Chromium', () => {
  let server;
  let context;
  let tab;
  let page;
  const press = (key) => page.keyboard.press(key);

  // Chooses the files with the Play demo button.
  async function chooseDemo(files) {
    const [chooser] = await Promise.all([page.waitForEvent('filechooser'),
      page.click('#play-demo')]);
    await chooser.setFiles(files);
  }

  const shown = (id) => page.evaluate((id) => !document.getElementById(id).hidden, id);

  // Waits for the line under the canvas to pass `test`; returns it.
  async function waitForLine(what, test, ms = WAIT_MS) {
    let line;
    await waitFor(what, async () => test(line = await tab.status()),
        {ms, describe: () => `the line reads "${line}"`});
    return line;
  }

  // The line a timed replay prints, without the time it took.
  function timed(program, file) {
    const run = spawnSync(program[0], [...program.slice(1), file], {encoding: 'utf8'});
    assert.equal(run.status, 0, `${program.join(' ')}: ${run.stderr}`);
    return run.stdout.trim().replace(/, [0-9.]+ s,/, ',');
  }

  before(async () => {
    ({server, context, page, tab} = await openSite({viewport: {width: 1024, height: 768},
      acceptDownloads: true}));
  });
  after(() => closeSite(server, context));

  it('records a run from its title to QUIT GAME, which the desktop replays', async () => {
    await page.click('#record');
    await waitForLine('the recording', (line) => line.startsWith('Recording'));
    assert.equal(await page.textContent('#record'), 'Stop and save');
    await tab.step('ArrowDown', 'the mark on CONFIG',
        (lines) => lines[15].substr(5, 7) === '>CONFIG');
    await tab.step('ArrowDown', 'the mark on QUIT GAME',
        (lines) => lines[17].substr(5, 10) === '>QUIT GAME');
    await press('Space');
    await waitFor('Save demo', () => shown('save'));
    const box = await page.locator('#save').boundingBox();
    assert.ok(box.width >= 44 && box.height >= 44, `Save demo is ${box.width} x ${box.height}`);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save')]);
    assert.match(download.suggestedFilename(), /^rallix-\d{8}-\d{6}\.demo$/);
    const file = path.join(process.env.RALLIX_WORK, 'recorded.demo');
    await download.saveAs(file);
    // Played by the browser's core in node, and by the desktop's program,
    // to the end it had: the same game.
    const line = timed(['node', path.join(SITE, '..', 'rallix_timedemo.js')], file);
    console.log(`the recorded run replayed: ${line}`);
    assert.match(line, /^\d+ passes, score 0, high score 30000, digest [0-9A-F]{16}$/);
    if (process.env.RALLIX_PROGRAM) {
      assert.equal(timed([process.env.RALLIX_PROGRAM, '--timedemo'], file), line);
    }
  });

  it('plays a desktop\'s demo to its last frame, whatever keys are pressed', async () => {
    const demo = path.join(process.env.RALLIX_DEMOS, 'lost_game.demo');
    execFileSync(process.env.RALLIX_SCREEN, ['demo-end', demo, path.join(REFERENCES, 'lost-end.pgm')]);
    await page.click('#again');
    await chooseDemo(demo);
    assert.equal(await waitForLine('the demo', (line) => line.startsWith('Playing')),
        'Playing the demo lost_game.demo. P pauses it.');
    assert.equal(await shown('help'), false, 'the keys\' help shows while they do nothing');
    for (const key of ['Space', 'ArrowLeft', 'ArrowDown', 'Space']) await press(key);
    // 471 passes and seven sounds played to their end: about 12 s.
    const end = await waitForLine('the demo\'s end', (line) => line.includes('ended'),
        4 * WAIT_MS);
    assert.equal(end, 'The demo has ended.');
    assert.equal(describeDifference(await grab(page), readReference('lost-end')), '');
    assert.equal(await shown('again'), true);
  });

  it('had no errors on the page', () => {
    assert.deepEqual(tab.errors, []);
  });
});

describe('Rallix on a phone', () => {
  let server;
  let context;
  let tab;
  let page;
  let touch;

  // The centre of a touch control.
  async function centre(key) {
    const box = await page.locator(`[data-key="${key}"]`).boundingBox();
    return {x: box.x + box.width / 2, y: box.y + box.height / 2};
  }

  // Puts fingers on the controls given (none lifts them all).
  async function fingers(...keys) {
    const points = [];
    for (const [id, key] of keys.entries()) points.push({...(await centre(key)), id});
    await touch.send('Input.dispatchTouchEvent',
        {type: points.length ? 'touchStart' : 'touchEnd', touchPoints: points});
  }

  // A finger on the control and off again at once: the game counts it
  // once, in its next pass.
  async function tap(key) {
    await fingers(key);
    await fingers();
  }

  before(async () => {
    ({server, context, page, tab} = await openSite({viewport: {width: 390, height: 844},
      deviceScaleFactor: 2, isMobile: true, hasTouch: true}, true));
    touch = await context.newCDPSession(page);
  });
  after(() => closeSite(server, context));

  it('shows the whole canvas and the touch controls, and plays by touch with two thumbs', async () => {
    const {canvas, move, act, viewport} = await boxes(page);
    console.log(`the canvas on a 390 x 844 phone: ${canvas.width} x ${canvas.height}`);
    assert.ok(canvas.left >= 0 && canvas.top >= 0 && canvas.right <= viewport.width &&
        canvas.bottom <= viewport.height, `the canvas is cut off: ${JSON.stringify(canvas)}`);
    // At 2 device pixels a CSS pixel the whole width would be 1.22 device
    // pixels a game pixel: 1, for pixels of one width, keeps 82% of it.
    assert.equal(canvas.width, 320, 'the canvas across');
    for (const controls of [move, act]) {
      assert.ok(controls.width > 0 && controls.top >= canvas.bottom &&
          controls.bottom <= viewport.height, `controls hidden: ${JSON.stringify(controls)}`);
    }

    // Two thumbs: Down held while the action button is tapped opens the menu.
    await fingers('down');
    await tab.waitForScreen('the mark on CONFIG', (lines) => lines[15].substr(5, 7) === '>CONFIG');
    await fingers('down', 'space');
    await tab.waitForScreen('the configuration menu',
        (lines) => lines[10].substr(1, 11) === '> SET COUNT');
    await fingers();
    await tap('up');
    await tab.waitForScreen('the mark on EXIT', (lines) => lines[20].substr(1, 6) === '> EXIT');
    await tap('space');
    await tab.waitForScreen('the title', (lines) => lines[13].substr(5, 11) === '>GAME START');
    await tap('space');
    await tab.waitForScreen('the first rally', (lines) => lines[23].substr(12, 5) === '--+--');
    await fingers('right');
    try {
      await tab.waitForScreen('the paddle at the right wall',
          (lines) => lines[23].substr(16, 6) === '--+--|');
      // The thumb slides over to Left without lifting.
      const [from, to] = [await centre('right'), await centre('left')];
      for (let step = 1; step <= 4; ++step) {
        await touch.send('Input.dispatchTouchEvent', {type: 'touchMove', touchPoints: [
          {x: from.x + ((to.x - from.x) * step) / 4, y: from.y, id: 0}]});
      }
      await tab.waitForScreen('the paddle at the left wall',
          (lines) => lines[23].substr(0, 6) === '|--+--');
    } finally {
      await fingers();
    }
    const after = await page.evaluate(() => [scrollX, scrollY, visualViewport.scale,
      getSelection().toString()]);
    assert.deepEqual(after, [0, 0, 1, ''], 'the touches scrolled, zoomed or selected');
    const shift = await layoutShift(page);
    assert.ok(shift <= 0.1, `the page moved as it loaded: layout shift ${shift}`);
  });

  it('zooms with two fingers spread over the court, as any page does', async () => {
    const {x, y} = await centre('space');
    const spread = (type, apart) => touch.send('Input.dispatchTouchEvent', {type, touchPoints:
      [{x: x - apart, y: y - 200, id: 0}, {x: x + apart, y: y - 200, id: 1}]});
    await spread('touchStart', 20);
    for (let apart = 40; apart <= 120; apart += 20) await spread('touchMove', apart);
    await touch.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []});
    await waitFor('the page zoomed', () => page.evaluate(() => visualViewport.scale > 1.5));
  });

  it('fetched each file once on its first visit, the offline copy\'s too', async () => {
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    // But the tab's icon, which the browser fetches for itself, apart from the page.
    const twice = server.requests.filter((name, i) => server.requests.indexOf(name) !== i &&
        name !== '/icon-32.png');
    assert.deepEqual(twice, [], `fetched: ${server.requests.join(' ')}`);
  });

  it('had no errors on the page', () => {
    assert.deepEqual(tab.errors, []);
  });
});

describe('Rallix with a file missing or damaged', () => {
  it('says that it has stopped, naming the file, whichever it is', async () => {
    const cut = (bytes) => bytes.subarray(0, Math.floor(bytes.length / 2));
    const cases = [
      [{missing: ['rallix.data']}, 'rallix.data could not be loaded (404 Not Found).'],
      [{changed: {'rallix.data': cut}}, 'rallix.data is damaged (cut short or changed).'],
      [{missing: ['rallix.js']}, 'rallix.js could not be loaded.'],
      [{changed: {'rallix.js': cut}}, 'rallix.js is damaged (cut short or changed).'],
      [{missing: ['rallix.wasm']}, 'rallix.wasm could not be loaded (404 Not Found).'],
      [{changed: {'rallix.wasm': cut}}, 'rallix.wasm is damaged (cut short or changed).'],
      [{changed: {'index.html': (bytes) => Buffer.from(bytes.toString().replace('fit();', 'fit( );'))}},
        'index.html is damaged (cut short or changed).'],
    ];
    for (const [files, said] of cases) {
      const server = await serve(path.resolve(SITE), files.missing, files.changed);
      const context = await browser.newContext();
      context.setDefaultTimeout(WAIT_MS);
      try {
        const page = await context.newPage();
        await page.goto(addressOf(server));
        await page.waitForFunction(
            () => document.getElementById('status').textContent.includes('stopped'));
        assert.equal(await page.evaluate(() => document.getElementById('status').textContent),
            `Rallix has stopped: ${said} Reload the page to try again.`, JSON.stringify(files));
      } finally {
        await context.close();
        server.close();
      }
    }
  });
});
