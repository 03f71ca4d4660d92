// The last line of rallix.js: page.js knows by it that the whole script was
// read and run.
Module.rallixLoaded = true;
