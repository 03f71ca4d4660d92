// Lighthouse's scores of the page, in Debian's Chromium with Lighthouse's
// mobile profile: each site given is served on a free port of 127.0.0.1,
// compressed as a web host serves it, and audited RALLIX_RUNS times (3 by
// default), the sites in turn, each run in a new Chromium with a profile of
// its own. Prints each run's four scores, its layout shift and blocking
// time, and the audits that did not pass.
// Run by scripts/lighthouse-web.sh:  node scores.mjs MODULES_DIR NAME=SITE_DIR...

import {createRequire} from 'node:module';
import path from 'node:path';
import {pathToFileURL} from 'node:url';

const [modules, ...sites] = process.argv.slice(2);
const fromModules = createRequire(path.join(path.resolve(modules), 'node_modules', 'x.js'));
const {default: lighthouse} = await import(pathToFileURL(fromModules.resolve('lighthouse')));
const chromeLauncher = await import(pathToFileURL(fromModules.resolve('chrome-launcher')));
const {serve} = createRequire(import.meta.url)('../web_first_frame.js');

const RUNS = Number(process.env.RALLIX_RUNS || 3);
const CATEGORIES = ['performance', 'accessibility', 'best-practices', 'seo'];
const FLAGS = ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

async function audit(address) {
  const chrome = await chromeLauncher.launch({chromePath: process.env.RALLIX_CHROMIUM || '/usr/bin/chromium',
    chromeFlags: FLAGS, logLevel: 'silent'});
  try {
    const result = await lighthouse(address, {port: chrome.port, onlyCategories: CATEGORIES,
      logLevel: 'error', output: 'json'});
    return result.lhr;
  } finally {
    await chrome.kill();
  }
}

function describe(lhr) {
  const scores = CATEGORIES.map((name) => Math.round(lhr.categories[name].score * 100));
  const figure = (id) => lhr.audits[id].numericValue;
  const failing = new Set();
  for (const name of CATEGORIES) {
    for (const ref of lhr.categories[name].auditRefs) {
      const found = lhr.audits[ref.id];
      if (ref.weight > 0 && found.score !== null && found.score < 0.9) failing.add(ref.id);
    }
  }
  return `performance ${scores[0]}, accessibility ${scores[1]}, best practices ${scores[2]}, ` +
    `seo ${scores[3]}; layout shift ${figure('cumulative-layout-shift').toFixed(3)}, ` +
    `blocking ${figure('total-blocking-time').toFixed(0)} ms, first paint ` +
    `${figure('first-contentful-paint').toFixed(0)} ms, speed index ${figure('speed-index').toFixed(0)} ms` +
    `; not passed: ${[...failing].join(', ') || 'none'}`;
}

const served = [];
try {
  for (const argument of sites) {
    const [name, folder] = argument.split('=');
    served.push({name, server: await serve(path.resolve(folder), {compress: true})});
  }
  for (let run = 1; run <= RUNS; ++run) {
    for (const {name, server} of served) {
      console.log(`${name} run ${run}: ${describe(await audit(server.address_))}`);
    }
  }
} finally {
  for (const {server} of served) server.close();
}
