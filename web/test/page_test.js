'use strict';
// The page's own logic in node, without a browser: where the canvas goes in
// the court's area (page_fit.js), and the pause and the play-again button of
// the game's side (page_library.js, on a pretend page).
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const {describe, it, beforeEach} = require('node:test');
const vm = require('node:vm');

const WEB = path.join(__dirname, '..');

function load(file, globals) {
  const context = vm.createContext(globals);
  vm.runInContext(fs.readFileSync(path.join(WEB, file), 'utf8'), context, {filename: file});
  return context;
}

describe('the canvas in the court\'s area', () => {
  const {fitCanvas} = load('page_fit.js', {});
  // The answer as an object of this realm, to compare it with plain objects.
  const fit = (left, top, width, height) => {
    const shown = fitCanvas({left, top, width, height}, 640, 480);
    return shown && {...shown};
  };

  it('takes the largest whole scale that fits and centres it', () => {
    // 1024 x 600 under a 50-pixel title: 1.25 fits, so 1.
    assert.deepEqual(fit(0, 50, 1024, 600), {width: 640, height: 480, left: 192, top: 110});
    // 2560 x 1300: 4 across but 2.7 down, so 2.
    assert.deepEqual(fit(0, 40, 2560, 1300), {width: 1280, height: 960, left: 640, top: 210});
    // Exactly 3 across and down, beside a 100-pixel column.
    assert.deepEqual(fit(100, 0, 1920, 1440), {width: 1920, height: 1440, left: 100, top: 0});
  });

  it('shrinks below 1 where 1 does not fit, and keeps its corner on a whole pixel', () => {
    // A phone's 390-pixel width: 390 / 640 of the size.
    assert.deepEqual(fit(0, 60, 390, 500), {width: 390, height: 292, left: 0, top: 164});
    // Half-pixel places and sizes round to whole pixels.
    assert.deepEqual(fit(0.5, 10.25, 701, 481), {width: 640, height: 480, left: 31, top: 11});
  });

  it('leaves the canvas alone while the area is empty', () => {
    assert.equal(fit(0, 0, 0, 600), null);
    assert.equal(fit(0, 0, 800, 0), null);
  });
});

// page_library.js on a pretend page: the elements the game's side uses, the
// window's listeners, and Asyncify's sleep, whose wake-up the test counts.
function openPage() {
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
  element('again').hidden = true;
  const windowListeners = {};
  const page = {elements, focused: true, wakeUps: 0, heap: new Int32Array(96)};
  let library = null;
  const context = load('page_library.js', {
    mergeInto: (into, what) => { library = what; },
    LibraryManager: {library: {}},
    document: {
      getElementById: element,
      querySelectorAll: () => [],
      hasFocus: () => page.focused,
    },
    window: {
      addEventListener: (type, listener) => {
        (windowListeners[type] = windowListeners[type] || []).push(listener);
      },
    },
    navigator: {},
    Module: {},
    Asyncify: {handleSleep: (start) => start(() => { ++page.wakeUps; })},
  });
  context.RallixPage = library.$RallixPage;
  context.HEAP32 = page.heap;
  page.library = library;
  page.context = context;
  page.key = (code, more = {}) => {
    for (const listener of windowListeners.keydown || []) listener({code, repeat: false, ...more});
  };
  page.pausedShown = () => !elements.paused.hidden;
  page.inFront = () => library.rallix_page_in_front();
  library.rallix_page_open();
  return page;
}

describe('the pause', () => {
  let page;
  beforeEach(() => { page = openPage(); });

  it('comes and goes with a plain P, and the game is not in front meanwhile', () => {
    assert.equal(page.inFront(), 1);
    page.key('KeyP');
    assert.equal(page.pausedShown(), true, 'no "Paused" note');
    assert.equal(page.inFront(), 0);
    page.key('KeyP', {repeat: true});
    assert.equal(page.inFront(), 0, 'a held P went on');
    page.key('KeyP');
    assert.equal(page.pausedShown(), false);
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
    assert.equal(library.rallix_page_begin_pass(), 1, 'the new run was told to stop');
    assert.equal(library.rallix_page_take_buttons(0, 32), 0, 'a press of the last game');
    assert.equal(page.inFront(), 1);
    page.key('KeyP');
    assert.equal(page.pausedShown(), true, 'the new game does not pause');
    elements.again.click();
    assert.equal(page.wakeUps, 1, 'a second click started another run');
  });
});
