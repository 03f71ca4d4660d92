'use strict';
// The page's own logic in node, without a browser: the layout and where the
// canvas goes, in device pixels (page_fit.js), and the pause, the play-again
// button and the demo buttons of the game's side (page_library.js, on a
// pretend page).
const assert = require('node:assert/strict');
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

describe('a page script that fails as it is read', () => {
  it('is named, the first only, and no other file\'s error', () => {
    for (const [file, said] of [['https://x/page_fit.js?v=2', 'page_fit.js'], ['/page.js', 'page.js'],
      ['rallix.js', 'rallix.js'], ['https://x/addon.js', null]]) {
      const status = {textContent: ''};
      let onError = null;
      load('page_errors.js', {
        window: {addEventListener: (type, listener) => { if (type === 'error') onError = listener; }},
        document: {getElementById: (id) => (id === 'status' ? status : null)},
      });
      onError({filename: file});
      if (said) onError({filename: said === 'page.js' ? 'rallix.js' : 'page.js'});
      assert.equal(status.textContent, said ? `Rallix has stopped: ${said} is damaged (cut ` +
          'short or changed). Reload the page to try again.' : '', file);
    }
  });
});

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

// page_library.js on a pretend page: the elements the game's side uses, the
// window's listeners, the program's memory, a file reader and object URLs,
// localStorage (holding `stored` to begin with), links made and clicked,
// and Asyncify's sleep, whose wake-up the test counts.
function openPage(stored = {}) {
  const elements = {};
  const element = (id) => {
    if (!elements[id]) {
      const listeners = {};
      elements[id] = {
        id, hidden: false, textContent: '', listeners,
        addEventListener: (type, listener) => { listeners[type] = listener; },
        blur() {},
        click() { if (this.onclick) this.onclick(); if (listeners.click) listeners.click({currentTarget: this}); },
        getContext: () => ({createImageData: () => ({data: []}), putImageData() {}}),
      };
    }
    return elements[id];
  };
  element('paused').hidden = true;
  element('muted').hidden = true;
  element('again').hidden = true;
  element('save').hidden = true;
  const windowListeners = {};
  const memory = new ArrayBuffer(1024);
  const page = {elements, focused: true, wakeUps: 0, heap: new Int32Array(memory),
                bytes: new Uint8Array(memory), urls: [], revoked: [], stored: {...stored},
                clicked: []};
  const utf8 = (text) => new TextEncoder().encode(text);
  let library = null;
  const context = load('page_library.js', {
    mergeInto: (into, what) => { library = what; },
    LibraryManager: {library: {}},
    document: {
      getElementById: element,
      querySelectorAll: () => [],
      hasFocus: () => page.focused,
      createElement: () => ({click() { page.clicked.push({href: this.href, download: this.download}); }}),
    },
    localStorage: {
      getItem: (key) => (key in page.stored ? page.stored[key] : null),
      setItem: (key, value) => { page.stored[key] = String(value); },
    },
    setTimeout: () => {},
    window: {
      addEventListener: (type, listener) => {
        (windowListeners[type] = windowListeners[type] || []).push(listener);
      },
    },
    navigator: {},
    Module: {},
    Asyncify: {handleSleep: (start) => start(() => { ++page.wakeUps; })},
    // Reads what the pretend file's slice holds, at once.
    FileReader: function() {
      this.readAsArrayBuffer = (blob) => {
        this.result = blob.bytes.buffer;
        this.onload();
      };
    },
    Blob,
    URL: {
      createObjectURL: (blob) => `blob:${page.urls.push(blob)}`,
      revokeObjectURL: (url) => page.revoked.push(url),
    },
    lengthBytesUTF8: (text) => utf8(text).length,
    stringToUTF8: (text, at, capacity) => {
      const bytes = utf8(text).subarray(0, capacity - 1);
      page.bytes.set(bytes, at);
      page.bytes[at + bytes.length] = 0;
    },
  });
  context.RallixPage = library.$RallixPage;
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
  page.pausedShown = () => !elements.paused.hidden;
  page.inFront = () => library.rallix_page_in_front();
  library.rallix_page_open(4194304);
  return page;
}

describe('the pause', () => {
  let page;
  beforeEach(() => { page = openPage(); });

  it('comes and goes with a plain P, and the game is not in front meanwhile', () => {
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
    page.context.RallixPage.press(2, 32, true);
    elements.again.click();
    assert.equal(page.wakeUps, 1);
    assert.equal(elements.again.hidden, true);
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
    library.rallix_page_begin_run(RECORDING);
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
    assert.equal(library.$RallixPage.shownName(`a\n\u202E\u2066b${'c'.repeat(70)}.demo`),
        `a???b${'c'.repeat(52)}...`);
    // The ends of every range hidden, the separators among them; their
    // neighbours shown.
    const hidden = [0x00, 0x1f, 0x7f, 0x9f, 0x61c, 0x200e, 0x200f, 0x2028, 0x2029, 0x202e, 0x2066,
      0x2069];
    const shown = String.fromCodePoint(0x20, 0x7e, 0xa0, 0x61b, 0x61d, 0x200d, 0x2010, 0x2027,
        0x202f, 0x2065, 0x206a);
    assert.equal(library.$RallixPage.shownName(String.fromCodePoint(...hidden) + shown),
        '?'.repeat(hidden.length) + shown);
    // Once the game has ended, only Play again starts a run.
    library.rallix_page_wait_for_play_again();
    elements['demo-file'].files = [file];
    elements['demo-file'].listeners.change();
    assert.equal(library.rallix_page_take_request(0), 0, 'a demo plays after the game ended');
  });

  it('offer the recording to save once the game has ended, named after its time', async () => {
    const page = openPage();
    const {library, elements} = page;
    assert.equal(library.$RallixPage.demoName(new Date(2025, 0, 31, 23, 59, 5)),
        'rallix-20250131-235905.demo');
    library.rallix_page_begin_run(RECORDING);
    page.bytes.set([1, 2, 3], 100);
    library.rallix_page_add_demo_piece(100, 3);
    page.bytes.set([4, 5], 100);
    library.rallix_page_add_demo_piece(100, 2);
    library.rallix_page_offer_demo();
    assert.equal(elements.save.hidden, true, 'offered before the game has ended');
    library.rallix_page_wait_for_play_again();
    assert.deepEqual(shownOf(page), ['again', 'save']);
    assert.equal(elements.save.href, 'blob:1');
    assert.match(elements.save.download, /^rallix-\d{8}-\d{6}\.demo$/);
    assert.deepEqual([...new Uint8Array(await page.urls[0].arrayBuffer())], [1, 2, 3, 4, 5]);
    elements.again.click();
    assert.equal(elements.save.hidden, true);
    assert.deepEqual(page.revoked, ['blob:1']);
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
    assert.equal(context.Module.rallix.volume(), 1);
    assert.equal(elements.volume.value, '100');
    page.key('KeyM');
    assert.equal(context.Module.rallix.volume(), 0);
    assert.equal(elements.mute.textContent, 'Unmute');
    assert.equal(elements.muted.hidden, false, 'no "Muted" note');
    page.key('KeyM', {ctrlKey: true});
    assert.equal(context.Module.rallix.volume(), 0, 'Ctrl+M unmuted');
    elements.volume.value = '40';
    elements.volume.listeners.input();
    assert.equal(context.Module.rallix.volume(), 0, 'a new volume unmuted');
    elements.mute.click();
    assert.equal(context.Module.rallix.volume(), 0.4);
    assert.equal(elements.muted.hidden, true);
    assert.deepEqual(kept(page), {volume: 40, mute: false});
    page.key('KeyM');

    const next = openPage(page.stored);
    assert.equal(next.elements.volume.value, '40');
    assert.equal(next.elements.mute.textContent, 'Unmute');
    assert.equal(next.context.Module.rallix.volume(), 0);
  });

  it('are the game\'s own when what was kept is not a volume', () => {
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
        assert.equal(library.$RallixPage.screenshotName(new Date(2025, 0, 31, 23, 59, 5)),
            'rallix-20250131-235905.png');
        // No game, no picture: the program takes none then.
        library.rallix_page_wait_for_play_again();
        assert.equal(elements.screenshot.hidden, true);
        page.key('F12');
        assert.equal(library.rallix_page_screenshot_wanted(), 0);
      });
});
