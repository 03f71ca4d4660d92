// Demos between the page and the program, in bytes: the page reads a chosen
// file (no more than a demo may hold and one byte, the program's limit) and
// keeps it as the player's request until the program, between two passes,
// takes the request and copies the name and bytes into memory it allocates;
// a recording comes out piece by piece into copies the page keeps, which it
// makes one Blob to save when the program offers the demo. Part of the
// page's script (web/library/page.js).

mergeInto(LibraryManager.library, {
  $RallixDemos: {
    requests: {},      // record, stopRecording, playDemo -> the program's number
    mostBytes: 0,      // the largest demo file the program reads
    request: null,     // the player's request the program has not taken yet
    pieces: [],        // the pieces of the demo being recorded
    saved: null,       // the object URL of the demo offered to save

    open: function(facts) {
      RallixDemos.requests = facts.requests;
      RallixDemos.mostBytes = facts.mostDemoBytes;
    },

    // The file chosen to play, read and handed to `ask` as a request: a
    // larger file than a demo may be is read no further than it takes to
    // refuse it; one the browser cannot read is refused by the program too.
    choose: function(file, ask) {
      var reader = new FileReader();
      var name = RallixDemos.shownName(file.name);
      var asked = function(bytes) {
        ask({kind: RallixDemos.requests.playDemo, name: name, bytes: bytes});
      };
      reader.onload = function() { asked(new Uint8Array(reader.result)); };
      reader.onerror = function() { asked(null); };
      reader.readAsArrayBuffer(file.slice(0, RallixDemos.mostBytes + 1));
    },

    // A file's name as the line under the canvas shows it: on one line, in
    // its own direction, and no longer than 60 characters. The characters
    // shown as '?' (controls, the line and paragraph separators, and those
    // that turn the line's direction, as the game's own lines hide them) are
    // ranges of code points: the build keeps numbers in this table as they
    // are, where it would empty a regular expression.
    UNSHOWN: [[0x00, 0x1f], [0x7f, 0x9f], [0x061c, 0x061c], [0x200e, 0x200f], [0x2028, 0x202e],
              [0x2066, 0x2069]],
    shownName: function(name) {
      var characters = Array.from(name, function(character) {
        var code = character.codePointAt(0);
        return RallixDemos.UNSHOWN.some(function(range) {
          return code >= range[0] && code <= range[1];
        }) ? '?' : character;
      });
      if (characters.length > 60) characters = characters.slice(0, 57).concat('...');
      return characters.join('');
    },

    forgetSaved: function() {
      if (RallixDemos.saved) URL.revokeObjectURL(RallixDemos.saved);
      RallixDemos.saved = null;
    },
  },

  // The player's request: 0 when there is none. Of a demo file, `sizes`
  // gets the length of its name in UTF-8 and of its bytes (-1 for a file
  // that could not be read), and the request waits for
  // rallix_page_copy_demo_file; any other is taken at once.
  rallix_page_take_request__deps: ['$RallixDemos'],
  rallix_page_take_request: function(sizes) {
    var request = RallixDemos.request;
    if (!request) return 0;
    if (request.kind !== RallixDemos.requests.playDemo) {
      RallixDemos.request = null;
    } else {
      HEAP32[sizes >> 2] = lengthBytesUTF8(request.name);
      HEAP32[(sizes >> 2) + 1] = request.bytes ? request.bytes.length : -1;
    }
    return request.kind;
  },

  // Copies the demo file's name (with its terminating zero) and bytes into
  // the program's memory, and takes the request.
  rallix_page_copy_demo_file__deps: ['$RallixDemos'],
  rallix_page_copy_demo_file: function(name, capacity, bytes) {
    var request = RallixDemos.request;
    RallixDemos.request = null;
    stringToUTF8(request.name, name, capacity);
    if (request.bytes) HEAPU8.set(request.bytes, bytes);
  },

  rallix_page_add_demo_piece__deps: ['$RallixDemos'],
  rallix_page_add_demo_piece: function(bytes, size) {
    RallixDemos.pieces.push(HEAPU8.slice(bytes, bytes + size));
  },

  // The recording, whole, as the target of the Save demo link, named for
  // the moment: rallix-20250131-235959.demo.
  rallix_page_offer_demo__deps: ['$RallixDemos', '$RallixPage'],
  rallix_page_offer_demo: function() {
    RallixDemos.forgetSaved();
    RallixDemos.saved = URL.createObjectURL(
        new Blob(RallixDemos.pieces, {type: 'application/octet-stream'}));
    RallixDemos.pieces = [];
    var save = document.getElementById('save');
    save.href = RallixDemos.saved;
    save.download = RallixPage.datedName(new Date(), '.demo');
  },
});
