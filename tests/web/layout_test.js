'use strict';
// The page at the sizes of real screens, in Chromium: the layout it takes,
// the size of a game pixel in device pixels measured on a screenshot (every
// game pixel the same whole number where it should be, the canvas's edges
// on whole device pixels), every control at least 44 x 44, nothing outside
// the window and nothing over the canvas. The screenshots are kept in
// layout-shots/ of the work folder. Run by run_browser_test.sh.

const {describe, it, before, after} = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const {chromium} = require('playwright-core');
const {WIDTH, HEIGHT, LAUNCH, serve, addressOf, readReference, decodePng} =
    require('./browser_site.js');

const SHOTS = path.join(process.env.RALLIX_WORK, 'layout-shots');
const PAGE_GREY = 34;  // the page's background, #222

// The layout and the canvas's size in device pixels, worked out by hand.
const CASES = [
  // A maximised window on a 1080p screen: beside the court the margins leave
  // it 969 down, so 2; under a bar it would have 921.
  {viewport: [1920, 969], ratio: 1, layout: 'side', canvas: [1280, 960]},
  // The 48-pixel bar leaves 976 down, so 2; the margins would leave 840 across.
  {viewport: [1280, 1024], ratio: 1, layout: 'bar', canvas: [1280, 960]},
  // 1.5 would fit, 2 does not: 1.
  {viewport: [1366, 768], ratio: 1, layout: 'bar', canvas: [640, 480]},
  // A 1080p laptop at 125%: 1 CSS pixel a game pixel is 1.25 device pixels,
  // and 1 device pixel is 80% of that.
  {viewport: [1536, 730], ratio: 1.25, layout: 'bar', canvas: [640, 480]},
  // A phone held upright keeps its whole width: 1170 device pixels, 1.83 a
  // game pixel (1 would be 55% of it).
  {viewport: [390, 844], ratio: 3, touch: true, layout: 'bar', canvas: [1170, 877]},
  // On its side, 476 x 342 beside the controls: 2.14, and 2 is 93% of it.
  {viewport: [844, 390], ratio: 3, touch: true, layout: 'bar', canvas: [1280, 960]},
];

const nameOf = (c) => `${c.viewport.join('x')}@${c.ratio}${c.touch ? '-touch' : ''}`;

// A screenshot's pixel as '0' (black), '1' (white) or null (anything else).
function gamePixel(shot, x, y) {
  const at = (y * shot.width + x) * shot.channels;
  const [r, g, b] = shot.pixels.subarray(at, at + 3);
  if (r !== g || g !== b) return null;
  return r === 0 ? '0' : r === 255 ? '1' : null;
}

function isPageGrey(shot, x, y) {
  const at = (y * shot.width + x) * shot.channels;
  return shot.pixels.subarray(at, at + 3).every((value) => value === PAGE_GREY);
}

// The canvas in the screenshot, in device pixels: the run of black and white
// pixels through `x, y` across and down. Beyond each edge lies the page's
// grey itself: an edge inside a device pixel would leave a pixel of both.
function findCanvas(shot, x, y) {
  const run = (step, along) => {
    let at = along === 'x' ? x : y;
    const inside = (to) => along === 'x' ? gamePixel(shot, to, y) : gamePixel(shot, x, to);
    const limit = along === 'x' ? shot.width : shot.height;
    while (at + step >= 0 && at + step < limit && inside(at + step)) at += step;
    const beyond = at + step;
    if (beyond >= 0 && beyond < limit) {
      const [bx, by] = along === 'x' ? [beyond, y] : [x, beyond];
      assert.ok(isPageGrey(shot, bx, by),
          `the canvas's edge at device pixel (${bx}, ${by}) is not on a whole pixel`);
    }
    return at;
  };
  const left = run(-1, 'x');
  const top = run(-1, 'y');
  return {left, top, width: run(1, 'x') - left + 1, height: run(1, 'y') - top + 1};
}

// Runs of equal pixels in a string of '0' and '1'.
function runsOf(pixels) {
  const runs = [];
  let start = 0;
  for (let i = 1; i <= pixels.length; ++i) {
    if (i === pixels.length || pixels[i] !== pixels[start]) {
      runs.push({ink: pixels[start], length: i - start});
      start = i;
    }
  }
  return runs;
}

// How wide the game's pixels came out, in device pixels: along the title's
// busiest row, each run of equal game pixels against its run on the screen.
function measureGamePixels(shot, canvas, title) {
  let row = 0;
  let busiest = 0;
  for (let y = 0; y < HEIGHT; ++y) {
    const count = runsOf(title.substr(y * WIDTH, WIDTH)).length;
    if (count > busiest) [row, busiest] = [y, count];
  }
  const game = runsOf(title.substr(row * WIDTH, WIDTH));
  const y = canvas.top + Math.floor(((row + 0.5) * canvas.height) / HEIGHT);
  let line = '';
  for (let x = canvas.left; x < canvas.left + canvas.width; ++x) line += gamePixel(shot, x, y);
  const shown = runsOf(line);
  assert.deepEqual(shown.map((run) => run.ink), game.map((run) => run.ink),
      `row ${row} of the title is not what the screen shows`);
  const widths = shown.map((run, i) => run.length / game[i].length);
  return {row, least: Math.min(...widths), most: Math.max(...widths)};
}

// Every pixel of the canvas on the screenshot is the title's pixel under it,
// `scale` device pixels a game pixel: how many are not.
function differences(shot, canvas, title, scale) {
  let wrong = 0;
  for (let y = 0; y < canvas.height; ++y) {
    for (let x = 0; x < canvas.width; ++x) {
      const expected = title[Math.floor(y / scale) * WIDTH + Math.floor(x / scale)];
      if (gamePixel(shot, canvas.left + x, canvas.top + y) !== expected) ++wrong;
    }
  }
  return wrong;
}

// The page's boxes in CSS pixels: the canvas, every element shown, the
// controls and the furniture.
function pageBoxes(page) {
  return page.evaluate(() => {
    const shown = (element) => element.getClientRects().length > 0;
    const box = (element) => {
      const r = element.getBoundingClientRect();
      const name = element.id ? `#${element.id}` : element.tagName.toLowerCase() +
          (element.getAttribute('aria-label') ? `[${element.getAttribute('aria-label')}]` : '');
      return {name, left: r.left, top: r.top, right: r.right, bottom: r.bottom,
              width: r.width, height: r.height};
    };
    const all = (selector) => [...document.querySelectorAll(selector)].filter(shown).map(box);
    return {
      layout: ['bar', 'side'].filter((name) => document.body.classList.contains(name)).join(),
      canvas: box(document.getElementById('screen')),
      bar: box(document.getElementById('furniture')),
      // The window as laid out: 730 CSS pixels at 1.25 are 912.5 device
      // pixels, which the screen makes 913, and innerHeight rounds back to 730.
      viewport: box(document.documentElement),
      scroll: {width: document.documentElement.scrollWidth,
               height: document.documentElement.scrollHeight},
      elements: all('body *'),
      controls: all('button, [data-key]'),
      furniture: all('h1, button, #lines p, .key'),
      lines: all('#lines p').map((line) => line.name),
    };
  });
}

// The checks every layout must pass: every control at least 44 x 44, every
// element inside the window, and nothing of the page's over the canvas.
function checkBoxes(boxes, what) {
  const {viewport, canvas} = boxes;
  for (const control of boxes.controls) {
    assert.ok(control.width >= 44 && control.height >= 44,
        `${what}: ${control.name} is ${control.width} x ${control.height}`);
  }
  for (const element of boxes.elements) {
    assert.ok(element.left >= -0.01 && element.top >= -0.01 &&
        element.right <= viewport.width + 0.01 && element.bottom <= viewport.height + 0.01,
        `${what}: ${element.name} is outside the window: ${JSON.stringify(element)}`);
  }
  assert.ok(boxes.scroll.width <= viewport.width && boxes.scroll.height <= viewport.height,
      `${what}: the page scrolls: ${JSON.stringify(boxes.scroll)}`);
  for (const thing of boxes.furniture) {
    const across = Math.min(thing.right, canvas.right) - Math.max(thing.left, canvas.left);
    const down = Math.min(thing.bottom, canvas.bottom) - Math.max(thing.top, canvas.top);
    assert.ok(across <= 0.01 || down <= 0.01,
        `${what}: ${thing.name} lies over the canvas: ${JSON.stringify(thing)}`);
  }
}

let server;
let title;
const table = [];

before(async () => {
  fs.mkdirSync(SHOTS, {recursive: true});
  title = readReference('title');
  server = await serve(path.resolve(process.env.RALLIX_SITE));
});

// Chromium on a screen of `ratio` device pixels per CSS pixel, showing the
// page in a window of `viewport` CSS pixels. The screen's own ratio, not an
// emulated one: an emulated ratio lays the page out in CSS pixels and
// scales the result, which no real screen does.
async function openScreen(c) {
  const browser = await chromium.launch({...LAUNCH,
    args: [...LAUNCH.args, `--force-device-scale-factor=${c.ratio}`]});
  try {
    const context = await browser.newContext({viewport: null, hasTouch: !!c.touch});
    const page = await context.newPage();
    const session = await context.newCDPSession(page);
    await session.send('Emulation.setDeviceMetricsOverride', {width: c.viewport[0],
      height: c.viewport[1], deviceScaleFactor: 0, mobile: !!c.touch});
    return {browser, page};
  } catch (error) {
    await browser.close();
    throw error;
  }
}

after(async () => {
  if (server) server.close();
  if (table.length) {
    const text = ['viewport   DPR   layout  device px a game px  measured  canvas (device px)',
      ...table].join('\n') + '\n';
    fs.writeFileSync(path.join(SHOTS, 'summary.txt'), text);
    console.log(text);
  }
});

describe('the page\'s layout on real screens', () => {
  for (const c of CASES) {
    it(`${nameOf(c)}: ${c.layout}, the canvas ${c.canvas.join(' x ')} device pixels`, async () => {
      const {browser, page} = await openScreen(c);
      try {
        assert.equal(await page.evaluate(() => devicePixelRatio), c.ratio);
        const errors = [];
        page.on('pageerror', (error) => errors.push(error.message));
        await page.goto(addressOf(server));
        await page.waitForFunction(() => window.Module && Module.rallix &&
            Module.rallix.passes() > 2);
        // The fonts in, and two frames for the page to fit to them.
        await page.evaluate(() => document.fonts.ready.then(() => new Promise((resolve) =>
          requestAnimationFrame(() => requestAnimationFrame(resolve)))));

        const boxes = await pageBoxes(page);
        const file = path.join(SHOTS, `${nameOf(c)}.png`);
        const png = await page.screenshot({path: file});
        const shot = decodePng(png);
        const centre = [Math.floor(((boxes.canvas.left + boxes.canvas.right) / 2) * c.ratio),
          Math.floor(((boxes.canvas.top + boxes.canvas.bottom) / 2) * c.ratio)];
        const canvas = findCanvas(shot, ...centre);
        const measured = measureGamePixels(shot, canvas, title);
        const scale = canvas.width / WIDTH;
        const widths = measured.least === measured.most ? `${measured.least}` :
          `${measured.least.toFixed(2)}-${measured.most.toFixed(2)}`;
        table.push(`${c.viewport.join('x').padEnd(10)} ${String(c.ratio).padEnd(5)} ` +
            `${boxes.layout.padEnd(7)} ${scale.toFixed(3).padEnd(19)} ${widths.padEnd(9)} ` +
            `${canvas.width} x ${canvas.height}`);

        assert.equal(boxes.layout, c.layout);
        if (c.layout === 'bar' && !c.touch) {
          assert.ok(boxes.bar.height <= 48, `the bar over the court is ${boxes.bar.height} high`);
        }
        assert.deepEqual([canvas.width, canvas.height], c.canvas, 'the canvas in device pixels');
        // Where the page puts it, too: a browser that does not round the
        // canvas's place to its pixels itself would blur its edges.
        for (const side of ['left', 'top', 'width', 'height']) {
          const device = boxes.canvas[side] * c.ratio;
          assert.ok(Math.abs(device - Math.round(device)) < 0.05,
              `the canvas's ${side} is at ${device} device pixels`);
        }
        if (Number.isInteger(scale)) {
          assert.deepEqual([measured.least, measured.most], [scale, scale],
              `game pixels of unequal widths along row ${measured.row}`);
          assert.equal(differences(shot, canvas, title, scale), 0,
              'pixels of the screenshot differ from the title');
        }
        checkBoxes(boxes, nameOf(c));
        // The line under the title tells the keys of this screen.
        assert.deepEqual(boxes.lines, c.touch ? ['#status', '#touch-help'] : ['#status', '#help']);

        if (c.touch && c.viewport[0] > c.viewport[1]) {
          // Once the game has ended, what does nothing is gone; Play again
          // brings it back.
          await page.evaluate(() => Module.rallix.stop());
          await page.waitForFunction(() => !document.getElementById('again').hidden);
          const ended = await pageBoxes(page);
          assert.deepEqual(ended.controls.map((control) => control.name), ['#fullscreen', '#again']);
          checkBoxes(ended, `${nameOf(c)} after the game`);
          await page.tap('#again');
          await page.waitForFunction(() => document.getElementById('again').hidden);
          const again = await pageBoxes(page);
          assert.equal(again.controls.length, boxes.controls.length);
        }
        assert.deepEqual(errors, []);
      } finally {
        await browser.close();
      }
    });
  }

  it('offers a maskable icon, kept for playing offline', async () => {
    const {browser, page} = await openScreen({viewport: [800, 600], ratio: 1});
    try {
      await page.goto(addressOf(server));
      const found = await page.evaluate(async () => {
        const manifest = await (await fetch('manifest.webmanifest')).json();
        const icon = manifest.icons.find((each) => each.purpose === 'maskable');
        const worker = await (await fetch('service-worker.js')).text();
        const image = new Image();
        image.src = icon.src;
        await image.decode();
        return {orientation: manifest.orientation, sizes: icon.sizes, kept: worker.includes(icon.src),
                loaded: `${image.naturalWidth}x${image.naturalHeight}`};
      });
      assert.deepEqual(found, {orientation: 'any', sizes: '512x512', kept: true, loaded: '512x512'});
    } finally {
      await browser.close();
    }
  });
});
