'use strict';
// The page's own logic in node, without a browser: the layout and where the
// canvas goes, in device pixels (page_fit.js); the game's side of the page
// (web/library/, on a pretend page): the pause, the play-again button, the
// demo buttons, the canvas, the sounds, the touch controls and pads, the
// volume and mute; the files the page loads and the line that says why one
// failed (page_errors.js); and the offline copy (service-worker.js.in).
const assert = require('node:assert/strict');
const crypto = require('node:crypto');
const fs = require('node:fs');
const path = require('node:path');
const {describe, it, beforeEach} = require('node:test');
const vm = require('node:vm');

const WEB = path.join(__dirname, '..', '..', 'web');

function load(file, globals) {
  const context = vm.createContext(globals);
  vm.runInContext(fs.readFileSync(path.join(WEB, file), 'utf8'), context, {filename: file});
  return context;
}
// What the page says of a damaged file, as page_errors.js words it.
const {rallixDamaged} = load('page_errors.js', {window: {addEventListener() {}}});

describe('the canvas in the court\'s area', () => {
  const {fitCanvas, chooseLayout} = load('page_fit.js', {});
  // The answers as objects of this realm, to compare them with plain objects.
  const fit = (left, top, width, height, ratio) => {
    const shown = fitCanvas({left, top, width, height}, 640, 480, ratio);
    return shown && {...shown, device: {...shown.device}};
  };
  const box = (fitted) => fitted && [fitted.left, fitted.top, fitted.width, fitted.height];

  it('takes the largest whole scale that fits and centres it', () => {
    // 1024 x 600 under a 50-pixel title: 1.25 fits, so 1.
    assert.deepEqual(box(fit(0, 50, 1024, 600)), [192, 110, 640, 480]);
    // 2560 x 1300: 4 across but 2.7 down, so 2.
    assert.deepEqual(box(fit(0, 40, 2560, 1300)), [640, 210, 1280, 960]);
    // Exactly 3 across and down, beside a 100-pixel column.
    assert.deepEqual(box(fit(100, 0, 1920, 1440)), [100, 0, 1920, 1440]);
  });

  it('draws every game pixel as the same whole number of device pixels where that keeps 80%', () => {
    // 125%: 2 CSS pixels a game pixel would be 2.5 device pixels; 2 is 80% of that.
    let shown = fit(0, 48, 1700, 1000, 1.25);
    assert.equal(shown.scale, 2);
    // 2125 x 1250 device pixels from (0, 60): the corner at (422.5, 205), rounded.
    assert.deepEqual(shown.device, {width: 1280, height: 960, left: 423, top: 205});
    assert.deepEqual(box(shown), [338.4, 164, 1024, 768]);
    // 1 CSS pixel is 1.25 device pixels: 1 is 80% of it.
    assert.equal(fit(0, 48, 1536, 682, 1.25).scale, 1);
    // 1.5: 1 is 67% of it, so the picture stays 1.5 device pixels a game pixel.
    shown = fit(0, 48, 1000, 600, 1.5);
    assert.equal(shown.scale, 1.5);
    assert.deepEqual(shown.device, {width: 960, height: 720, left: 270, top: 162});
    // 2 times 1.5 is 3, whole already.
    assert.equal(fit(0, 0, 1300, 1000, 1.5).scale, 3);
    // A 390-pixel phone held upright at 3: 1170 device pixels across make
    // 1.83 a game pixel, and 1 would be 55% of that: it keeps the width.
    shown = fit(0, 90, 390, 600, 3);
    assert.equal(shown.scale, 1170 / 640);
    assert.deepEqual(shown.device, {width: 1170, height: 877, left: 0, top: 732});
    // On its side, 476 x 342 at 3: 2.14 device pixels, and 2 is 93% of that.
    shown = fit(184, 48, 476, 342, 3);
    assert.equal(shown.scale, 2);
    assert.deepEqual(shown.device, {width: 1280, height: 960, left: 626, top: 177});
    // The same phone at 2: 1.22, and 1 is 82% of that.
    assert.equal(fit(0, 90, 390, 600, 2).scale, 1);
  });

  it('keeps its sides on whole device pixels', () => {
    // Half-pixel places and sizes round to whole pixels.
    assert.deepEqual(box(fit(0.5, 10.25, 701, 481)), [31, 11, 640, 480]);
    // At 1.5 the area starts at device pixel 0.6: the corner goes to 270.6,
    // rounded to 271, which is 180.67 CSS pixels.
    const shown = fit(0.4, 48, 1000, 600, 1.5);
    assert.deepEqual(shown.device, {width: 960, height: 720, left: 271, top: 162});
    assert.equal(shown.left, 271 / 1.5);
  });

  it('leaves the canvas alone while the area is empty', () => {
    assert.equal(fit(0, 0, 0, 600), null);
    assert.equal(fit(0, 0, 800, 0), null);
  });

  it('puts the page\'s furniture beside the court where that shows the game larger', () => {
    // The bar over the court takes 48 pixels; the margins 220 each side.
    const layouts = (width, height) => [
      {name: 'bar', area: {left: 0, top: 48, width, height: height - 48}},
      {name: 'side', area: {left: 220, top: 0, width: width - 440, height}}];
    const choose = (width, height, ratio) => chooseLayout(layouts(width, height), 640, 480, ratio).name;
    // A maximised window on a 1080p screen: 921 down in the bar, 969 beside.
    assert.equal(choose(1920, 969, 1), 'side');
    // 1280 x 1024: 2 in the bar, but beside it 840 across.
    assert.equal(choose(1280, 1024, 1), 'bar');
    // 1366 x 768: 1 either way; the bar.
    assert.equal(choose(1366, 768, 1), 'bar');
    // 1536 x 730 at 125%: 1 device pixel either way.
    assert.equal(choose(1536, 730, 1.25), 'bar');
    // 1920 x 1040 at 1.5: the bar's 992 make 3.1 device pixels, the margins' 1040 3.25.
    assert.equal(choose(1920, 1040, 1.5), 'bar');
  });
});

// The page's script (web/library/) on a pretend page, opened with the
// program's facts as tests/data/page_facts.json has them: the elements the
// game's side uses (the touch controls `controls`), the window's listeners,
// the program's memory, a file reader and object URLs, localStorage
// (holding `stored` to begin with), links made and clicked, the timers set,
// Web Audio (a sound decodes to a buffer as long in seconds as its file has
// bytes) and Asyncify's sleep, whose wake-up the test counts. The first
// frame is shown, unless not `shown`.
const FACTS = fs.readFileSync(path.join(__dirname, '..', 'data', 'page_facts.json'), 'utf8');
const LIBRARY = ['page', 'canvas', 'sound', 'input', 'demos', 'settings'];

function openPage(stored = {}, {controls = [], sounds, pads, audio = true, shown = true} = {}) {
  const elements = {};
  const element = (id) => {
    if (!elements[id]) {
      const listeners = {};
      elements[id] = {
        id, hidden: false, textContent: '', listeners,
        addEventListener: (type, listener) => { listeners[type] = listener; },
        blur() { this.blurred = true; },
        click() { if (this.onclick) this.onclick(); if (listeners.click) listeners.click({currentTarget: this}); },
        width: 640, height: 480, puts: [],
        getContext(kind, options) {
          this.options = options;
          return {putImageData: (...put) => this.puts.push(put)};
        },
      };
    }
    return elements[id];
  };
  for (const id of ['paused', 'muted', 'volume-mark', 'again', 'save']) element(id).hidden = true;
  const windowListeners = {};
  const memory = new ArrayBuffer(2 << 20);
  const page = {elements, focused: true, wakeUps: 0, heap: new Int32Array(memory),
                bytes: new Uint8Array(memory), urls: [], revoked: [], stored: {...stored},
                clicked: [], timers: [], frames: [], stops: [], sources: [], contexts: 0,
                decoders: 0, afterTitle: 0};
  const utf8 = (text) => new TextEncoder().encode(text);
  const library = {};
  const webAudio = {state: 'suspended', currentTime: 2, destination: {}, resumed: 0,
    resume() { ++this.resumed; return Promise.reject(new Error('not yet')); },
    createGain: () => ({connect(to) { this.to = to; }, gain: {value: -1, ramps: [],
      cancelScheduledValues(at) { this.ramps.push(['cancel', at]); },
      setTargetAtTime(...ramp) { this.ramps.push(ramp); }}}),
    createBufferSource: () => {
      const source = {connect(to) { source.to = to; }, start() { page.sources.push(this); },
                      stop() { source.stops = (source.stops || 0) + 1; source.stopped = true; }};
      return source;
    }};
  page.audio = webAudio;
  const context = vm.createContext({
    mergeInto: (into, what) => Object.assign(library, what),
    LibraryManager: {library: {}},
    document: {
      getElementById: element,
      querySelectorAll: () => controls,
      hasFocus: () => page.focused,
      createElement: () => ({click() { page.clicked.push({href: this.href, download: this.download}); }}),
    },
    localStorage: {
      getItem: (key) => (key in page.stored ? page.stored[key] : null),
      setItem: (key, value) => { page.stored[key] = String(value); },
    },
    setTimeout: (run, ms) => page.timers.push({run, ms}),  // the timer's number: its place + 1
    clearTimeout: (number) => page.timers[number - 1] && (page.timers[number - 1].run = () => {}),
    requestAnimationFrame: (run) => page.frames.push(run),
    window: {
      addEventListener: (type, listener) => {
        (windowListeners[type] = windowListeners[type] || []).push(listener);
      },
      AudioContext: audio && function() {
        if (audio === 'refused') throw new Error('no audio device');
        ++page.contexts;
        return webAudio;
      },
      OfflineAudioContext: audio && function() {
        ++page.decoders;
        this.decodeAudioData = (bytes, done, failed) =>
          (bytes.byteLength > 12 ? done({duration: bytes.byteLength}) : failed());
      },
    },
    navigator: pads ? {getGamepads: pads} : {},
    Module: {rallixSounds: sounds, rallixStop: (what) => page.stops.push(what), rallixDamaged,
      rallixAfterTitle: () => ++page.afterTitle},
    Asyncify: {handleSleep: (start) => start(() => { ++page.wakeUps; })},
    // Reads what the pretend file's slice holds, at once; a slice without
    // bytes cannot be read.
    FileReader: function() {
      this.readAsArrayBuffer = (blob) => {
        this.result = blob.bytes && blob.bytes.buffer;
        if (blob.bytes) this.onload(); else this.onerror();
      };
    },
    Blob,
    ImageData: function(data, width, height) { Object.assign(this, {data, width, height}); },
    URL: {
      createObjectURL: (blob) => `blob:${page.urls.push(blob)}`,
      revokeObjectURL: (url) => page.revoked.push(url),
    },
    UTF8ToString: (text) => text,
    lengthBytesUTF8: (text) => utf8(text).length,
    stringToUTF8: (text, at, capacity) => {
      const bytes = utf8(text).subarray(0, capacity - 1);
      page.bytes.set(bytes, at);
      page.bytes[at + bytes.length] = 0;
    },
  });
  for (const name of LIBRARY) {
    const file = `library/${name}.js`;
    vm.runInContext(fs.readFileSync(path.join(WEB, file), 'utf8'), context, {filename: file});
  }
  for (const name of Object.keys(library)) {
    if (name.startsWith('$')) context[name.slice(1)] = library[name];
  }
  context.HEAP32 = page.heap;
  context.HEAPU8 = page.bytes;
  page.library = library;
  page.context = context;
  page.key = (code, more = {}) => {
    const event = {code, repeat: false, prevented: false, ...more,
                   preventDefault() { event.prevented = true; }};
    for (const listener of windowListeners.keydown || []) listener(event);
    return event.prevented;
  };
  page.blur = () => windowListeners.blur.forEach((listener) => listener());
  page.pointerUp = () => windowListeners.pointerup.forEach((listener) => listener());
  page.padConnected = () => (windowListeners.gamepadconnected || []).forEach((listener) => listener());
  page.pausedShown = () => !elements.paused.hidden;
  page.inFront = () => library.rallix_page_in_front();
  library.rallix_page_open(FACTS);
  // The first frame painted, then drawn by the browser, then the work that waited.
  page.showFirstFrame = () => {
    library.rallix_page_paint(0, 0, 0);
    assert.equal(page.timers.length, 0, 'before the frame was drawn');
    page.frames.pop()();
    page.timers.pop().run();
  };
  if (shown) page.showFirstFrame();
  return page;
}

describe('the pause', () => {
  let page;
  beforeEach(() => { page = openPage(); });

  it('comes and goes with a plain P, and the game is not in front meanwhile', () => {
    assert.equal(page.library.rallix_page_begin_pass(), 1);
    page.library.rallix_page_show_line('Hello.');
    assert.equal(page.elements.status.textContent, 'Hello.');
    assert.equal(page.inFront(), 1);
    page.key('KeyP');
    assert.equal(page.pausedShown(), true, 'no "Paused" note');
    assert.equal(page.elements.pause.textContent, 'Resume');
    assert.equal(page.inFront(), 0);
    page.key('KeyP', {repeat: true});
    assert.equal(page.inFront(), 0, 'a held P went on');
    page.key('KeyP');
    assert.equal(page.pausedShown(), false);
    assert.equal(page.elements.pause.textContent, 'Pause');
    assert.equal(page.inFront(), 1);
    for (const modifier of ['ctrlKey', 'altKey', 'metaKey']) {
      page.key('KeyP', {[modifier]: true});
      assert.equal(page.inFront(), 1, `P with ${modifier} paused`);
    }
    page.key('Space');
    page.key('KeyO');
    assert.equal(page.inFront(), 1);
  });

  it('comes and goes with the Pause button, and the focus alone never ends it', () => {
    page.elements.pause.click();
    assert.equal(page.pausedShown(), true);
    assert.equal(page.elements.pause.blurred, true, 'the button keeps the keys');
    page.focused = false;
    assert.equal(page.inFront(), 0);
    page.focused = true;
    assert.equal(page.inFront(), 0, 'the focus back ended the pause');
    page.elements.pause.click();
    assert.equal(page.pausedShown(), false);
    assert.equal(page.inFront(), 1);
    page.focused = false;
    assert.equal(page.inFront(), 0, 'in front without the focus');
  });
});

describe('the end of a game and play again', () => {
  it('waits for the button, with no pause while no game runs, then starts afresh', () => {
    const page = openPage();
    const {library, elements} = page;
    page.key('KeyP');  // paused when the game ends
    page.context.Module.rallix.stop();
    assert.equal(library.rallix_page_begin_pass(), 0, 'the page asked the game to stop');
    assert.equal(page.context.Module.rallix.passes(), 1);
    library.rallix_page_wait_for_play_again();
    assert.equal(elements.again.hidden, false, 'no play-again button');
    // What does nothing now is gone, and comes back with the new game.
    const gameOnly = ['pause', 'move', 'act', 'help', 'touch-help'];
    const shown = () => gameOnly.filter((id) => !elements[id].hidden);
    assert.deepEqual(shown(), []);
    assert.equal(page.pausedShown(), false, 'the ended game still shows "Paused"');
    page.key('KeyP');
    assert.equal(page.pausedShown(), false, 'P paused an ended game');
    elements.pause.click();
    assert.equal(page.pausedShown(), false, 'the Pause button paused an ended game');
    assert.equal(page.wakeUps, 0);

    // A press left over from the last game is not the new game's.
    page.context.RallixInput.press('pad', 32, true);
    elements.again.click();
    assert.equal(page.wakeUps, 1);
    assert.equal(elements.again.hidden, true);
    assert.equal(elements.again.blurred, true, 'Play again keeps the keys');
    assert.deepEqual(shown(), gameOnly);
    assert.equal(library.rallix_page_begin_pass(), 1, 'the new run was told to stop');
    assert.equal(library.rallix_page_take_buttons(0, 32), 0, 'a press of the last game');
    assert.equal(page.inFront(), 1);
    page.key('KeyP');
    assert.equal(page.pausedShown(), true, 'the new game does not pause');
    elements.again.click();
    assert.equal(page.wakeUps, 1, 'a second click started another run');
  });
});

describe('the demo buttons', () => {
  const CONTROLS = ['pause', 'record', 'play-demo', 'move', 'act', 'help', 'touch-help', 'again',
                    'save'];
  const RECORDING = 1;
  const DEMO = 2;
  const shownOf = (page) => CONTROLS.filter((id) => !page.elements[id].hidden);

  it('show what works in each run, and Record asks for a recording or its end', () => {
    const page = openPage();
    const {library, elements} = page;
    const take = () => library.rallix_page_take_request(0);
    page.key('KeyP');
    page.context.RallixInput.press('touch', 37, true);
    library.rallix_page_begin_run(RECORDING);
    assert.equal(library.rallix_page_take_buttons(0, 32), 0, 'a press of the run before');
    assert.equal(page.pausedShown(), false, 'the recording begins paused');
    assert.deepEqual(shownOf(page), ['pause', 'record', 'move', 'act', 'help', 'touch-help']);
    assert.equal(elements.record.textContent, 'Stop and save');
    assert.equal(take(), 0);
    elements.record.click();
    assert.equal(take(), 2, 'Stop and save');
    assert.equal(take(), 0, 'a request taken twice');
    // A demo's game takes no keys: the touch controls and their lines go.
    library.rallix_page_begin_run(DEMO);
    assert.deepEqual(shownOf(page), ['pause', 'record', 'play-demo']);
    assert.equal(elements.record.textContent, 'Record');
    elements.record.click();
    assert.equal(take(), 1, 'Record');
    library.rallix_page_begin_run(0);
    assert.deepEqual(shownOf(page), CONTROLS.slice(0, 7));
    // A request not taken when the game ends is dropped with it.
    elements.record.click();
    library.rallix_page_wait_for_play_again();
    elements.again.click();
    assert.equal(take(), 0);
  });

  it('read a chosen file no further than a demo holds and one byte, and hand it over', () => {
    const page = openPage();
    const {library, elements} = page;
    const sliced = [];
    const file = {name: 'été.demo', size: 5000000, slice: (start, end) => {
      sliced.push([start, end]);
      return {bytes: new Uint8Array([0x52, 0x4C, 0x58])};
    }};
    elements['play-demo'].click();
    elements['demo-file'].files = [file];
    elements['demo-file'].value = 'C:\\fakepath\\été.demo';
    elements['demo-file'].listeners.change();
    assert.deepEqual(sliced, [[0, 4194305]]);
    assert.equal(elements['demo-file'].value, '', 'the same file cannot be chosen again');
    // The sizes at byte 0, the name at 16 (its 10 bytes of UTF-8 and a
    // zero), the bytes at 32; the request waits for its copy.
    assert.equal(library.rallix_page_take_request(0), 3);
    assert.deepEqual([...page.heap.subarray(0, 2)], [10, 3]);
    assert.equal(library.rallix_page_take_request(0), 3);
    library.rallix_page_copy_demo_file(16, 11, 32);
    assert.equal(Buffer.from(page.bytes.subarray(16, 27)).toString(), 'été.demo\0');
    assert.deepEqual([...page.bytes.subarray(32, 35)], [0x52, 0x4C, 0x58]);
    assert.equal(library.rallix_page_take_request(0), 0);
    // A name the line cannot show as it is: a line feed, turns of the
    // direction (the last and the first of their ranges), and more than 60
    // characters.
    assert.equal(library.$RallixDemos.shownName(`a\n\u202E\u2066b${'c'.repeat(70)}.demo`),
        `a???b${'c'.repeat(52)}...`);
    // The ends of every range hidden, the separators among them; their
    // neighbours shown.
    const hidden = [0x00, 0x1f, 0x7f, 0x9f, 0x61c, 0x200e, 0x200f, 0x2028, 0x2029, 0x202e, 0x2066,
      0x2069];
    const shown = String.fromCodePoint(0x20, 0x7e, 0xa0, 0x61b, 0x61d, 0x200d, 0x2010, 0x2027,
        0x202f, 0x2065, 0x206a);
    assert.equal(library.$RallixDemos.shownName(String.fromCodePoint(...hidden) + shown),
        '?'.repeat(hidden.length) + shown);
    // 60 characters shown whole, one more shortened.
    assert.deepEqual(['d'.repeat(60), 'd'.repeat(61)].map(library.$RallixDemos.shownName),
        ['d'.repeat(60), `${'d'.repeat(57)}...`]);
    // A file the browser cannot read goes to the program to refuse: its
    // name, and -1 for its bytes.
    elements['demo-file'].files = [{name: 'gone.demo', slice: () => ({})}];
    elements['demo-file'].listeners.change();
    assert.equal(library.rallix_page_take_request(0), 3);
    assert.deepEqual([...page.heap.subarray(0, 2)], [9, -1]);
    library.rallix_page_copy_demo_file(16, 10, 32);
    assert.equal(library.rallix_page_take_request(0), 0);
    // Once the game has ended, only Play again starts a run.
    library.rallix_page_wait_for_play_again();
    elements['demo-file'].files = [file];
    elements['demo-file'].listeners.change();
    assert.equal(library.rallix_page_take_request(0), 0, 'a demo plays after the game ended');
  });

  it('offer the recording to save once the game has ended, named after its time', async () => {
    const page = openPage();
    const {library, elements} = page;
    assert.equal(library.$RallixPage.datedName(new Date(2025, 0, 31, 23, 59, 5), '.demo'),
        'rallix-20250131-235905.demo');
    assert.equal(library.$RallixPage.datedName(new Date(2025, 9, 10, 10, 10, 10), '.png'),
        'rallix-20251010-101010.png');
    library.rallix_page_begin_run(RECORDING);
    page.bytes.set([1, 2, 3], 100);
    library.rallix_page_add_demo_piece(100, 3);
    page.bytes.set([4, 5], 100);
    library.rallix_page_add_demo_piece(100, 2);
    library.rallix_page_offer_demo();
    // A new recording offers its own pieces alone, not those of one left
    // unfinished, and the last offer is gone.
    library.rallix_page_begin_run(RECORDING);
    library.rallix_page_add_demo_piece(100, 1);
    library.rallix_page_begin_run(RECORDING);
    page.bytes.set([1, 2, 3, 4, 5], 100);
    library.rallix_page_add_demo_piece(100, 5);
    library.rallix_page_offer_demo();
    assert.deepEqual(page.revoked, ['blob:1']);
    page.urls.shift();
    page.revoked.length = 0;
    assert.equal(elements.save.hidden, true, 'offered before the game has ended');
    library.rallix_page_wait_for_play_again();
    assert.deepEqual(shownOf(page), ['again', 'save']);
    assert.equal(elements.save.href, 'blob:2');
    assert.match(elements.save.download, /^rallix-\d{8}-\d{6}\.demo$/);
    assert.deepEqual([...new Uint8Array(await page.urls[0].arrayBuffer())], [1, 2, 3, 4, 5]);
    elements.again.click();
    assert.equal(elements.save.hidden, true);
    assert.deepEqual(page.revoked, ['blob:2']);
    // A game that was not recorded offers nothing.
    library.rallix_page_wait_for_play_again();
    assert.deepEqual(shownOf(page), ['again']);
  });
});

describe('the sound\'s volume and mute', () => {
  const kept = (page) => JSON.parse(page.stored['rallix.settings']);

  it('come with M, the Mute button and the slider, and are kept for the next visit', () => {
    const page = openPage();
    const {elements, context} = page;
    assert.deepEqual(page.stored, {}, 'a first visit wrote');
    assert.equal(context.Module.rallix.volume(), 1);
    assert.equal(elements.volume.value, '100');
    page.key('KeyM');
    assert.equal(context.Module.rallix.volume(), 0);
    assert.equal(elements.mute.textContent, 'Unmute');
    assert.equal(elements.muted.hidden, false, 'no "Muted" note');
    page.key('KeyM', {ctrlKey: true});
    assert.equal(context.Module.rallix.volume(), 0, 'Ctrl+M unmuted');
    for (const volume of ['50', '40']) {
      elements.volume.value = volume;
      elements.volume.listeners.input();
    }
    assert.equal(context.Module.rallix.volume(), 0, 'a new volume unmuted');
    // The new volume shows in the court's corner a moment from the last change, as on the desktop.
    assert.deepEqual([elements['volume-mark'].hidden, elements['volume-mark'].textContent],
        [false, 'Volume 40']);
    assert.equal(page.timers.at(-1).ms, 1500);
    page.timers.at(-2).run();
    assert.equal(elements['volume-mark'].hidden, false, 'hidden a moment after the first change');
    page.timers.at(-1).run();
    assert.equal(elements['volume-mark'].hidden, true);
    elements.mute.click();
    assert.equal(context.Module.rallix.volume(), 0.4);
    assert.equal(elements['volume-mark'].hidden, true, 'the volume shown for a mute');
    assert.equal(elements.muted.hidden, true);
    assert.deepEqual(kept(page), {volume: 40, mute: false});
    page.key('KeyM');

    elements.volume.value = '140';
    elements.volume.listeners.input();
    assert.equal(elements.volume.value, '100', 'a volume beyond the slider');
    elements.volume.value = '40';
    elements.volume.listeners.input();
    const next = openPage(page.stored);
    assert.equal(next.elements['volume-mark'].hidden, true, 'the kept volume shown as a change');
    assert.equal(next.elements.volume.value, '40');
    assert.equal(next.elements.mute.textContent, 'Unmute');
    assert.equal(next.context.Module.rallix.volume(), 0);
  });

  it('are the game\'s own when what was kept is not a volume', () => {
    assert.equal(openPage({'rallix.settings': '{"volume":0,"mute":false}'}).elements.volume.value, '0');
    for (const damaged of ['{"volume": 40', '{"volume": 300, "mute": "yes"}', '[]', 'null']) {
      const page = openPage({'rallix.settings': damaged});
      assert.equal(page.context.Module.rallix.volume(), 1, damaged);
      assert.equal(page.elements.mute.textContent, 'Mute', damaged);
    }
  });
});

describe('a picture of the game', () => {
  it('is asked for with F12 or the Screenshot button while a game runs, and downloaded as its PNG',
      async () => {
        const page = openPage();
        const {library, elements} = page;
        assert.equal(library.rallix_page_screenshot_wanted(), 0);
        assert.equal(page.key('F12'), true, 'the browser\'s own F12 went on');
        assert.equal(library.rallix_page_screenshot_wanted(), 1);
        assert.equal(library.rallix_page_screenshot_wanted(), 0, 'asked twice');
        elements.screenshot.click();
        assert.equal(library.rallix_page_screenshot_wanted(), 1);
        page.bytes.set([0x89, 0x50, 0x4E, 0x47], 200);
        library.rallix_page_offer_screenshot(200, 4);
        assert.equal(page.clicked.length, 1);
        assert.equal(page.clicked[0].href, 'blob:1');
        assert.match(page.clicked[0].download, /^rallix-\d{8}-\d{6}\.png$/);
        assert.equal(page.urls[0].type, 'image/png');
        assert.deepEqual([...new Uint8Array(await page.urls[0].arrayBuffer())],
            [0x89, 0x50, 0x4E, 0x47]);
        // No game, no picture: the program takes none then.
        library.rallix_page_wait_for_play_again();
        assert.equal(elements.screenshot.hidden, true);
        page.key('F12');
        assert.equal(library.rallix_page_screenshot_wanted(), 0);
      });
});

describe('the canvas', () => {
  it('takes the program\'s size, and paints the rectangles of its pixels where they lie', () => {
    const resized = openPage();
    assert.equal(resized.elements.screen.width, 640);
    const page = openPage();
    const {elements, library, context} = page;
    // A page that did not give the canvas the program's size fits it anew.
    let fits = 0;
    context.Module.rallixFit = () => ++fits;
    library.rallix_page_open(FACTS);
    elements.screen.width = 320;
    library.rallix_page_open(FACTS);
    assert.deepEqual([elements.screen.width, elements.screen.height, fits], [640, 480, 1]);
    elements.screen.height = 240;
    library.rallix_page_open(FACTS);
    assert.deepEqual([elements.screen.width, elements.screen.height, fits], [640, 480, 2]);
    // Two rectangles (x, y, width, height) at byte 40, the pixels at 64.
    page.heap.set([0, 0, 640, 480, 16, 32, 48, 16], 10);
    library.rallix_page_paint(64, 40, 2);
    const puts = elements.screen.puts;
    assert.deepEqual(puts.map((put) => put.slice(1)), [[0, 0, 0, 0, 640, 480], [0, 0, 16, 32, 48, 16]]);
    const image = puts[0][0];
    assert.deepEqual([image.width, image.height, image.data.byteOffset, image.data.length],
        [640, 480, 64, 4 * 640 * 480]);
    assert.equal(image.data.buffer, page.bytes.buffer);
    library.rallix_page_paint(64, 56, 1);
    assert.equal(puts[2][0], image, 'the pixels taken anew');
    library.rallix_page_paint(128, 56, 1);
    assert.equal(puts[3][0].data.byteOffset, 128);
    assert.deepEqual({...elements.screen.options}, {alpha: false}, 'the canvas is not opaque');
  });
});

// A package of WAVE files as the build makes it: each 'RIFF', its length
// less 8, then as many bytes again.
function wavePackage(...lengths) {
  const bytes = [];
  for (const length of lengths) {
    bytes.push(0x52, 0x49, 0x46, 0x46, (length - 8) & 255, (length - 8) >> 8, 0, 0,
        ...new Array(length - 8).fill(7));
  }
  return new Uint8Array(bytes).buffer;
}

describe('the sounds', () => {
  const settle = () => new Promise((resolve) => setImmediate(resolve));

  it('are the package\'s WAVE files in the program\'s order, and a damaged package stops the page', async () => {
    const page = openPage({}, {sounds: Promise.resolve(wavePackage(20, 300, 16, 40))});
    const unpack = page.library.$RallixSound.unpack;
    const names = ['a', 'b'];
    const two = unpack(wavePackage(300, 8), names);
    assert.deepEqual([two.a.byteLength, two.b.byteLength], [300, 8]);
    for (const damaged of [wavePackage(20), wavePackage(20, 300, 16), wavePackage(20, 300).slice(0, 319),
      wavePackage(20, 300).slice(1)]) {
      assert.equal(unpack(damaged, names), null);
    }
    await settle();
    assert.deepEqual(page.stops, []);
    const cut = openPage({}, {sounds: Promise.resolve(wavePackage(20, 300, 16))});
    await settle();
    assert.deepEqual(cut.stops, ['rallix.data is damaged (cut short or changed).']);
    // A package that never came (page.js said why) plays nothing.
    const missing = openPage({}, {sounds: Promise.reject(new Error('gone'))});
    missing.key('Space');
    assert.equal(await missing.library.$RallixSound.play('pon.WAV', 'async'), 0);
    assert.deepEqual([missing.stops, missing.sources], [[], []]);
    // So does a browser without Web Audio, or that refuses it.
    for (const audio of [false, 'refused']) {
      const deaf = openPage({}, {sounds: Promise.resolve(wavePackage(20, 300, 16, 40)), audio});
      deaf.key('Space');
      assert.equal(await deaf.library.$RallixSound.play('pon.WAV', 'async'), 0);
    }
  });

  it('play from the first key on, one at a time, and a sound played to its end holds the game', async () => {
    // pon.WAV decodes to 20 s, pin.WAV to 300 s, pupu.WAV not at all.
    const page = openPage({}, {sounds: Promise.resolve(wavePackage(20, 300, 12, 40))});
    const {library, context} = page;
    const sounds = () => [...context.Module.rallix.sounds()].map((sound) => `${sound.file} ${sound.outcome}`);
    assert.equal(await context.RallixSound.play('pon.WAV', 'async'), 0, 'a sound before a key');
    page.elements.volume.value = '40';
    page.elements.volume.listeners.input();
    page.key('KeyO');
    assert.equal(context.RallixSound.gain.gain.value, 0.4, 'the first sounds at the game\'s volume');
    assert.equal(await context.RallixSound.play('pon.WAV', 'async'), 20);
    const first = page.sources[0];
    assert.equal(first.buffer.duration, 20);
    library.rallix_page_play_sound_to_end('pin.WAV');
    await settle();
    assert.equal(first.stopped, true, 'the sound before goes on');
    assert.deepEqual(page.timers.map((timer) => timer.ms), [1500, 300000]);  // the mark, the sound
    assert.equal(page.wakeUps, 0);
    page.timers[1].run();
    assert.equal(page.wakeUps, 1);
    // A sound asked for while another decodes is the one heard.
    const replaced = context.RallixSound.play('pipopin.WAV', 'async');
    library.rallix_page_play_sound('pon.WAV');
    library.rallix_page_play_sound('pupu.WAV');
    library.rallix_page_stop_sound();
    await replaced;
    await settle();
    assert.deepEqual(sounds(), ['pon.WAV silent', 'pon.WAV played', 'pin.WAV played',
      'pipopin.WAV replaced', 'pon.WAV replaced', 'pupu.WAV silent', ' stopped']);
    assert.equal(page.sources[1].stopped, true, 'the sound played to its end goes on after a stop');
    // The volume goes to the one gain every sound goes through.
    page.key('KeyM');
    const gain = context.RallixSound.gain;
    assert.deepEqual(gain.gain.ramps, [['cancel', 2], [0, 2, 0.004]]);
    assert.deepEqual([page.contexts, gain.to, first.to], [1, page.audio.destination, gain]);
    assert.ok(page.audio.resumed >= 1, 'a suspended context not asked to go on');
    // A stop stops the sound playing; a sound the browser will not start is silent.
    await context.RallixSound.play('pon.WAV', 'async');
    library.rallix_page_stop_sound();
    library.rallix_page_stop_sound();
    assert.equal(page.sources.at(-1).stops, 1, 'a stopped sound stopped again');
    page.audio.createBufferSource = () => { throw new Error('no more sources'); };
    assert.equal(await context.RallixSound.play('pon.WAV', 'async'), 0);
    assert.equal(context.Module.rallix.sounds().at(-1).outcome, 'silent');
    // A touch lets the sound start too; the last fifty sounds are kept.
    const touched = openPage();
    touched.pointerUp();
    assert.equal(touched.contexts, 1);
    for (let i = 0; i < 60; ++i) touched.library.rallix_page_stop_sound();
    assert.equal(touched.context.Module.rallix.sounds().length, 50);
  });
});

describe('the touch controls and gamepads', () => {
  // A touch control with its listeners, and a pointer on it.
  const control = (key) => {
    const listeners = {};
    const held = new Set();
    return {key, listeners, held, getAttribute: () => key,
      addEventListener: (type, listener) => { listeners[type] = listener; },
      releasePointerCapture(id) { this.released = id; },
      classList: {add: (name) => held.add(name), remove: (name) => held.delete(name)},
      pointer(type, pointerId, buttons = 1) { listeners[type]({pointerId, buttons}); }};
  };
  const taken = (page) => {
    page.heap.fill(-7, 16, 16 + 96);
    const count = page.library.rallix_page_take_buttons(64, 32);
    assert.equal(page.heap[16 + 3 * count], -7, 'written beyond the presses taken');
    return [...page.heap.subarray(16, 16 + 3 * count)];
  };

  it('hold a key while a finger is on the control, and a finger slides from one to the next', () => {
    const [left, right] = [control('left'), control('right')];
    const page = openPage({}, {controls: [left, right]});
    left.pointer('pointerdown', 1);
    left.pointer('pointerdown', 2);
    left.pointer('pointerup', 1);
    assert.equal(left.held.has('held'), true);
    left.pointer('pointercancel', 2);  // the browser took the finger over, for a scroll say
    assert.equal(left.held.has('held'), false);
    right.pointer('pointerenter', 3, 0);  // a mouse passing over, no button down
    left.pointer('pointerdown', 4);
    left.pointer('pointerleave', 4);
    right.pointer('pointerenter', 4);
    assert.deepEqual(taken(page), [1, 37, 1, 1, 37, 0, 1, 37, 1, 1, 37, 0, 1, 39, 1]);
    assert.deepEqual(taken(page), []);
    // The page lost the focus: every control lets go, and what was pressed is forgotten.
    right.pointer('pointerdown', 5);
    page.blur();
    assert.deepEqual([right.held.size, taken(page)], [0, []]);
    right.pointer('pointerdown', 5);
    assert.deepEqual(taken(page), [1, 39, 1], 'a finger of before the blur held on');
    // A control does not keep the finger it began with, so the finger can slide on.
    right.pointer('gotpointercapture', 6);
    assert.equal(right.released, 6);
  });

  it('wait, with the sounds and the service worker, until the title is shown', async () => {
    const page = openPage({}, {shown: false, sounds: Promise.resolve(wavePackage(20, 300, 16, 40)),
      pads: () => [{connected: true, axes: [-1, 0], buttons: []}]});
    await new Promise((resolve) => setImmediate(resolve));
    page.padConnected();
    assert.deepEqual([page.decoders, page.afterTitle, page.timers.length], [0, 0, 0]);
    page.showFirstFrame();
    await new Promise((resolve) => setImmediate(resolve));
    assert.deepEqual([page.decoders, page.afterTitle], [4, 1]);
    page.library.rallix_page_paint(0, 0, 0);
    assert.equal(page.frames.length, 0, 'waited again for a later frame');
    assert.equal(page.library.rallix_page_take_buttons(64, 32), 0, 'pads read before one showed');
    page.padConnected();
    assert.equal(page.library.rallix_page_take_buttons(64, 32), 1);
    let later = 0;  // asked for once the title is shown: soon, not at once
    page.context.RallixCanvas.afterTitle(() => ++later);
    assert.equal(later, 0);
    page.timers.pop().run();
    assert.equal(later, 1);
  });

  it('are the arrows and Space of every pad in the standard layout, and none where refused', () => {
    const pad = {connected: true, axes: [-0.5, 0.2], buttons: []};
    let calls = 0;
    const page = openPage({}, {pads: () => { ++calls; return [null, pad]; }});
    page.padConnected();
    assert.deepEqual(taken(page), [2, 37, 1]);
    page.blur();
    assert.deepEqual(taken(page), [2, 37, 1], 'a pad held through a blur is pressed again');
    pad.axes = [0.5, 0.5];
    pad.buttons[9] = {pressed: true};
    assert.deepEqual(taken(page), [2, 32, 1, 2, 37, 0, 2, 39, 1, 2, 40, 1]);
    pad.axes = [0, -0.5];
    pad.buttons = [{value: 0.6}, , , , , , , , , , , , {pressed: false}, , , {pressed: true}];
    assert.deepEqual(taken(page), [2, 38, 1, 2, 40, 0], 'Space and Right held by buttons now');
    pad.buttons[0].value = 0.5;  // no more than half way: not pressed
    assert.deepEqual(taken(page), [2, 32, 0]);
    pad.connected = false;
    assert.deepEqual(taken(page), [2, 38, 0, 2, 39, 0]);
    const refused = openPage({}, {pads: () => { ++calls; throw new Error('forbidden'); }});
    refused.padConnected();
    calls = 0;
    taken(refused);
    taken(refused);
    assert.equal(calls, 1, 'asked again after a refusal');
  });
});

describe('the files the page loads', () => {
  // page_errors.js on a pretend window: its listeners and the status line.
  function openErrors(fetch) {
    const listeners = {};
    const status = {textContent: 'Loading...'};
    class HTMLScriptElement {}
    const window = {document: {getElementById: () => status, URL: 'http://127.0.0.1/'},
      HTMLScriptElement, fetch, Error,
      addEventListener: (type, listener, capture) => { listeners[type] = {listener, capture}; }};
    const context = load('page_errors.js', Object.assign(window, {window}));
    const script = (src) => Object.assign(new HTMLScriptElement(), {src});
    return {context, listeners, status, script};
  }
  const said = (what) => `Rallix has stopped: ${what} Reload the page to try again.`;

  it('name the script that could not be loaded, is cut short or changed, and only the first', () => {
    let page = openErrors();
    assert.deepEqual([page.listeners.error.capture, page.listeners.load.capture], [true, true],
        'a script\'s error and load never bubble');
    page.listeners.error.listener({target: page.script('http://127.0.0.1/rallix.js?1')});
    page.listeners.error.listener({target: {}, filename: 'http://127.0.0.1/rallix.js'});
    assert.equal(page.status.textContent, said('rallix.js could not be loaded.'));
    assert.equal(page.context.Module.rallixHalted, true, 'the program may run on');
    // The page's own scripts and style sheet are in index.html.
    for (const event of [['error', {target: {}, filename: 'http://127.0.0.1/#the-page'}],
      ['securitypolicyviolation', {blockedURI: 'inline'}]]) {
      page = openErrors();
      page.listeners.error.listener({target: page.script('http://127.0.0.1/other.js')});
      page.listeners.error.listener({target: {}, filename: 'http://127.0.0.1/other.js'});
      page.listeners.securitypolicyviolation.listener({blockedURI: 'eval'});
      page.listeners.load.listener({target: page.script('http://127.0.0.1/page.js')});
      assert.equal(page.status.textContent, 'Loading...');
      page.listeners[event[0]].listener(event[1]);
      assert.equal(page.status.textContent, said('index.html is damaged (cut short or changed).'));
    }
    page = openErrors();
    page.listeners.error.listener({target: {}, filename: 'http://127.0.0.1/rallix.js'});
    assert.equal(page.status.textContent, said('rallix.js is damaged (cut short or changed).'));
    // rallix.js run to its end marks itself whole (page_loaded.js).
    page = openErrors();
    page.context.Module = {rallixLoaded: true};
    page.listeners.load.listener({target: page.script('http://127.0.0.1/rallix.js')});
    assert.equal(page.status.textContent, 'Loading...');
    page.context.Module = {};
    page.listeners.load.listener({target: page.script('http://127.0.0.1/rallix.js')});
    assert.equal(page.status.textContent, said('rallix.js is damaged (cut short or changed).'));
  });

  it('fetch a file, or say why it could not be had', async () => {
    const answers = {'a.data': {ok: true}, 'b.data': {ok: false, status: 404, statusText: 'Not Found'},
                     'c.data': {ok: false, status: 500, statusText: ''}};
    const {context} = openErrors((name) => (answers[name] ? Promise.resolve(answers[name]) :
      Promise.reject(new Error('Failed to fetch'))));
    assert.equal(await context.rallixFetch('a.data'), answers['a.data']);
    for (const [name, why] of [['b.data', '404 Not Found'], ['c.data', '500'], ['d.data', 'Failed to fetch']]) {
      await assert.rejects(context.rallixFetch(name), {message: `${name} could not be loaded (${why}).`});
    }
  });

  it('are described alike in the page and its manifest', () => {
    const page = fs.readFileSync(path.join(WEB, 'index.html'), 'utf8');
    const manifest = JSON.parse(fs.readFileSync(path.join(WEB, 'manifest.webmanifest'), 'utf8'));
    assert.equal(page.match(/<meta name="description" content="([^"]*)">/)[1], manifest.description);
  });
});

describe('the offline copy', () => {
  const digest = (text) => crypto.createHash('sha256').update(text).digest('hex');

  // The service worker as the build writes it, for these files, installed
  // with a browser's cache holding `kept` and a server holding `served`.
  async function install(files, kept, served) {
    const listeners = {};
    const fetched = [];
    const stored = {};
    const answer = (body) => (body === undefined ? new Response('', {status: 404}) : new Response(body));
    const template = fs.readFileSync(path.join(WEB, 'service-worker.js.in'), 'utf8');
    const worker = template.replace('@RALLIX_SITE_VERSION@', '0123456789abcdef').replace(
        '@RALLIX_SITE_FILES@', Object.entries(files).map(([file, body]) =>
          `\n'${file}': '${digest(body)}',`).join(''));
    vm.runInNewContext(worker, {
      self: {addEventListener: (type, listener) => { listeners[type] = listener; }, skipWaiting() {}},
      caches: {open: async () => ({put: async (file, response) => { stored[file] = await response.text(); }})},
      fetch: async (file, {cache}) => {
        fetched.push(`${file} ${cache}`);
        return answer(cache === 'force-cache' && file in kept ? kept[file] : served[file]);
      },
      crypto: globalThis.crypto, Uint8Array, Array, Object, Promise, Error,
    });
    let done;
    listeners.install({waitUntil: (promise) => { done = promise; }});
    await done;
    return {fetched, stored};
  }

  it('stores each file once, the browser\'s copy where it is this build\'s', async () => {
    const files = {'./': 'page', 'index.html': 'page', 'a.js': 'new a', 'b.png': 'b'};
    const {fetched, stored} = await install(files, {'./': 'page', 'a.js': 'old a'},
        {'./': 'page', 'index.html': 'page', 'a.js': 'new a', 'b.png': 'b'});
    assert.deepEqual(fetched.sort(), ['./ force-cache', 'a.js force-cache', 'a.js reload',
      'b.png force-cache']);
    assert.deepEqual(stored, files);
    await assert.rejects(install({'a.js': 'a'}, {}, {}), /a\.js could not be stored \(404\)/);
  });
});

// page.js on a pretend window of 1280 x 800 whose court, under the bar or
// between the margins, is `areas`' (the margins hold their text unless
// `crowded`), loading through `fetched` (file name to a promise of its
// response) and a pretend WebAssembly.
function openPageAround({areas, crowded = false, touch = false, fetched = {}, wasm = {}, full = true}) {
  const listeners = {};
  const on = (type, listener) => { (listeners[type] = listeners[type] || []).push(listener); };
  const classes = new Set();
  const element = (more) => ({style: {}, hidden: false, addEventListener: on, blur() {}, ...more});
  const page = {stops: [], registered: [], measured: 0, listeners, classes, observers: [], asked: []};
  const elements = {
    screen: element({width: 640, height: 480}), marks: element(), fullscreen: element(),
    stage: element({getBoundingClientRect: () => {
      ++page.measured;
      return areas[classes.has('side') ? 'side' : 'bar'];
    }}),
  };
  const column = {scrollHeight: crowded ? 300 : 100, clientHeight: 200};
  const window = {
    devicePixelRatio: 1, addEventListener: on, matchMedia: () => null,
    innerWidth: Math.max(...Object.values(areas).map((area) => area.left + area.width)),
    innerHeight: Math.max(...Object.values(areas).map((area) => area.top + area.height)),
    navigator: {maxTouchPoints: touch ? 5 : 0, serviceWorker: {register: (file) => {
      page.registered.push(file);
      return Promise.reject(new Error('refused'));
    }}},
    document: {getElementById: (id) => elements[id], querySelector: () => column,
      addEventListener: on, exitFullscreen: () => page.asked.push('leave'),
      documentElement: {requestFullscreen: full && (() => {
        page.asked.push('enter');
        return Promise.reject(new Error('not without a gesture'));
      })},
      body: {classList: {add: (name) => classes.add(name), contains: (name) => classes.has(name),
        toggle: (name, on) => (on ? classes.add(name) : classes.delete(name))}}},
    ResizeObserver: function(fit) {
      page.observers.push(fit);
      this.observe = () => {};
    },
    rallixStopped: (what) => page.stops.push(what), rallixDamaged,
    rallixFetch: (name) => fetched[name] || new Promise(() => {}),
    WebAssembly: wasm, Promise, Error,
  };
  window.window = window;
  const context = vm.createContext(window);
  for (const file of ['page_fit.js', 'page.js']) {
    vm.runInContext(fs.readFileSync(path.join(WEB, file), 'utf8'), context, {filename: file});
  }
  Object.assign(page, {context, elements, module: context.Module, document: window.document});
  return page;
}

describe('the page around the game', () => {
  const px = (style) => ['left', 'top', 'width', 'height'].map((side) => style[side]).filter(Boolean);

  it('lays the page out once, the canvas in the court and "Muted" in the canvas\'s corner', () => {
    // 1280 x 800: the bar leaves 752 down, the margins 840 across: 1 either way, the bar.
    const areas = {bar: {left: 0, top: 48, width: 1280, height: 752},
      side: {left: 220, top: 0, width: 840, height: 800}};
    let page = openPageAround({areas, touch: true});
    assert.deepEqual([...page.classes].sort(), ['bar', 'touch']);
    assert.equal(page.measured, 1, 'the margins tried, where they cannot show the game larger');
    assert.deepEqual(px(page.elements.screen.style), ['320px', '184px', '640px', '480px']);
    assert.deepEqual(px(page.elements.marks.style), ['960px', '184px']);
    // The court's size seen again is not fitted again; a new one is.
    const fitted = page.measured;
    page.observers[0]([{contentRect: {width: 1280, height: 752}}]);
    assert.equal(page.measured, fitted);
    // The program's canvas of another size is fitted by the page's own fit.
    page.elements.screen.width = 320;
    page.elements.screen.height = 240;
    page.module.rallixFit();
    // 320 x 240 in 1280 x 752: 3, 960 x 720 from (160, 48 + 16).
    assert.deepEqual(px(page.elements.screen.style), ['160px', '64px', '960px', '720px']);
    page.elements.screen.width = 640;
    page.elements.screen.height = 480;
    areas.bar = {left: 0, top: 48, width: 1000, height: 1000};
    page.observers[0]([{contentRect: {width: 1000, height: 1000}}]);
    assert.deepEqual(px(page.elements.screen.style), ['180px', '308px', '640px', '480px']);
    // 1920 x 969: the margins leave room for 2, if they hold their text.
    areas.bar = {left: 0, top: 48, width: 1920, height: 921};
    areas.side = {left: 220, top: 0, width: 1480, height: 969};
    page = openPageAround({areas});
    assert.deepEqual([...page.classes], ['side']);
    assert.deepEqual(px(page.elements.marks.style), ['1600px', '5px']);  // 220 + 100 + 1280
    page = openPageAround({areas, crowded: true});
    assert.deepEqual([...page.classes], ['bar']);
    // The touch controls from the first touch on, fitted again.
    const measured = page.measured;
    page.listeners.touchstart[0]();
    assert.deepEqual([...page.classes].sort(), ['bar', 'touch']);
    assert.ok(page.measured > measured, 'not fitted again');
  });

  it('hands the program its WebAssembly, compiled as it came, and says why it cannot', async () => {
    const settle = () => new Promise((resolve) => setImmediate(resolve));
    const response = {clone: () => 'stream', arrayBuffer: () => Promise.resolve('bytes')};
    const wasm = {
      // A server that does not call it application/wasm: compiled once all here.
      compileStreaming: (stream) => Promise.reject(new TypeError(`${stream}: wrong type`)),
      compile: (bytes) => Promise.resolve(`compiled ${bytes}`),
      instantiate: (module, imports) => Promise.resolve(`${module} with ${imports}`),
    };
    const areas = {bar: {left: 0, top: 48, width: 800, height: 552}, side: {left: 220, top: 0, width: 360, height: 600}};
    let page = openPageAround({areas, wasm,
      fetched: {'rallix.wasm': Promise.resolve(response), 'rallix.data': Promise.resolve({arrayBuffer: () => 'sounds'})}});
    const ready = [];
    assert.deepEqual({...page.module.instantiateWasm('imports', (made) => ready.push(made))}, {});
    assert.equal(await page.module.rallixSounds, 'sounds');
    await settle();
    assert.deepEqual(ready, ['compiled bytes with imports']);
    assert.deepEqual(page.stops, []);
    // A server that says application/wasm: compiled as it came.
    const streaming = openPageAround({areas, wasm: {...wasm, compileStreaming: (stream) =>
      Promise.resolve(`${stream} compiled`)}, fetched: {'rallix.wasm': Promise.resolve(response)}});
    streaming.module.instantiateWasm('imports', (made) => ready.push(made));
    await settle();
    assert.deepEqual(ready.slice(1), ['stream compiled with imports']);
    ready.pop();
    // What stops the page, the program may stop too.
    page.module.rallixStop('why');
    page.stops.pop();
    // No service worker before the title is shown and the page has loaded,
    // and a refused one is only gone without.
    page.module.rallixAfterTitle();
    assert.deepEqual(page.registered, []);
    page.listeners.load[0]();
    assert.deepEqual(page.registered, ['service-worker.js']);
    page.document.readyState = 'complete';
    page.module.rallixAfterTitle();
    assert.equal(page.registered.length, 2);
    delete page.context.navigator.serviceWorker;
    page.module.rallixAfterTitle();  // a browser without service workers goes without
    page.module.onAbort('out of memory');
    assert.deepEqual(page.stops, ['the game could not go on (out of memory).']);
    assert.equal(page.module.rallixDamaged, rallixDamaged);  // the program's side words it alike

    page = openPageAround({areas, wasm: {...wasm, compile: () => Promise.reject(new Error('bad'))},
      fetched: {'rallix.wasm': Promise.resolve(response),
        'rallix.data': Promise.reject(new Error('rallix.data could not be loaded (404 Not Found).'))}});
    page.module.instantiateWasm('imports', () => ready.push('made'));
    await settle();
    assert.deepEqual(page.stops, ['rallix.data could not be loaded (404 Not Found).',
      'rallix.wasm is damaged (cut short or changed).']);
    page = openPageAround({areas, wasm: {...wasm, instantiate: () => Promise.reject(new Error('link'))},
      fetched: {'rallix.wasm': Promise.resolve(response)}});
    page.module.instantiateWasm('imports', () => ready.push('made'));
    await settle();
    assert.deepEqual([ready.length, page.stops], [1, ['rallix.wasm is damaged (cut short or changed).']]);
  });

  it('goes fullscreen and back with the Fullscreen button, where the browser has one', async () => {
    const areas = {bar: {left: 0, top: 48, width: 800, height: 552}, side: {left: 220, top: 0, width: 360, height: 600}};
    assert.equal(openPageAround({areas, full: false}).elements.fullscreen.hidden, true);
    const page = openPageAround({areas});
    const click = () => page.listeners.click.forEach((listener) => listener());
    assert.equal(page.elements.fullscreen.hidden, false);
    click();  // refused: the page stays as it is
    page.context.document.webkitFullscreenElement = {};
    click();
    assert.deepEqual(page.asked, ['enter', 'leave']);
  });
});
