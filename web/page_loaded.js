// The last line of rallix.js: the page knows by it that the whole script was
// read and run (page_errors.js).
Module.rallixLoaded = true;
