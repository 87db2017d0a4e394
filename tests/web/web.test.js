// The web version in Debian's Chromium (headless, software WebGL): a journey played through ?script= from
// the main menu through world 1 level 1 and back, its pictures and save file, the save kept across a
// reload, and damaged stores that must still start a game. Run by tests/web/run, which CTest calls.
//
// The journey plays the two small test worlds (tests/fixtures/worlds), packed by the web build like the
// campaign and handed out by the tests' server in place of the site's data, so that its pictures stay the
// same while the campaign changes; the other tests start the site as it is, campaign and all.
"use strict";

const test = require("node:test");
const assert = require("node:assert");
const fs = require("node:fs");
const path = require("node:path");
const { execFileSync } = require("node:child_process");
const { chromium } = require("playwright-core");
const { serveFolder } = require("./serve");
const { decodePng, comparePictures } = require("./png");

const top = path.resolve(__dirname, "../..");
const site = process.env.DUSK_WEB_SITE || path.join(top, "build-web/site");
const testData = process.env.DUSK_WEB_TEST_DATA || path.join(top, "build-web/cmake/test-data");
const tools = process.env.DUSK_TOOLS || path.join(top, "build/tools");
// The desktop journey's pictures of the same screens: the page must draw exactly what the desktop draws.
const references = path.join(top, "tests/app/reference");
const output = process.env.DUSK_WEB_OUTPUT || path.join(top, "build-web/test-output");
const gameTimeout = 180000;

const chromiumFlags = ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
  "--disable-background-networking", "--disable-component-update", "--disable-sync",
  "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--autoplay-policy=user-gesture-required"];

let server;
let browser;

test.before(async () => {
  fs.mkdirSync(output, { recursive: true });
  server = await serveFolder(site, { "/test-worlds/duskmarrow-data.js": path.join(testData, "duskmarrow-data.js"),
                                     "/test-worlds/duskmarrow.data": path.join(testData, "duskmarrow.data") });
  browser = await chromium.launch({ executablePath: "/usr/bin/chromium", headless: true, args: chromiumFlags });
});

test.after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
});

// A page in a fresh browser profile of its own (its own IndexedDB), with what it says kept for failures.
async function newPage() {
  const context = await browser.newContext({ viewport: { width: 1100, height: 900 } });
  const page = await context.newPage();
  page.log = [];
  page.on("console", (m) => page.log.push(m.type() + ": " + m.text()));
  page.on("pageerror", (e) => page.log.push("pageerror: " + e.message));
  return page;
}

// The site's page; under /test-worlds/ the same page with the test worlds' data.
function address(query, folder = "/") {
  return server.url + folder + (query ? "?" + query : "");
}

// Waits until the program has ended and its last writes are in IndexedDB.
async function waitForEnd(page) {
  try {
    await page.waitForFunction(() => window.duskPage && window.duskPage.ended, null, { timeout: gameTimeout });
    await page.waitForFunction(() => !window.duskPage.storing, null, { timeout: 30000 });
  } catch (error) {
    throw new Error(error.message + "\n" + page.log.join("\n"));
  }
  return page.evaluate(() => ({ status: window.duskPage.exitStatus, stderr: window.duskPage.stderr.join("\n"),
                                 loadError: window.duskPage.loadError, endMs: window.duskPage.endMs }));
}

// A file of the page's file system, or null.
async function readFile(page, file) {
  const bytes = await page.evaluate((f) => {
    const FS = window.Module.FS;
    if (!FS.analyzePath(f).exists) return null;
    return Array.from(FS.readFile(f));
  }, file);
  return bytes === null ? null : Buffer.from(bytes);
}

async function writeFileAndStore(page, file, bytes) {
  await page.evaluate(([f, b]) => new Promise((resolve, reject) => {
    const FS = window.Module.FS;
    FS.writeFile(f, new Uint8Array(b));
    FS.syncfs(false, (error) => (error ? reject(error) : resolve()));
  }), [file, Array.from(bytes)]);
}

// World 1 and its level 1 as the worlds' sources order them, and their shortest solution.
function firstLevelSolution(worlds) {
  const names = (file) => fs.readFileSync(file, "latin1").split(/\r?\n/).map((l) => l.trim())
    .filter((l) => l && !l.startsWith(";"));
  const world = names(path.join(worlds, "worlds.txt"))[1];
  const lines = names(path.join(worlds, world, "world.txt"));
  const level = lines.slice(lines.indexOf("levels") + 1).filter((l) => l.endsWith(".level"))[1];
  const out = execFileSync(path.join(tools, "solve_level"), [path.join(worlds, world, level)], { encoding: "utf8" });
  const digits = /^digits:\s*(\d+)/m.exec(out)[1];
  const score = Number(/^score:\s*(-?\d+)/m.exec(out)[1]);
  return { steps: digits.split("").map(Number), score };
}

// The save file's player name and the best score of world w, level l.
function readSave(bytes) {
  assert.strictEqual(bytes.subarray(0, 5).toString("latin1"), "\x04kelv");
  const nameLength = bytes[5];
  const name = bytes.subarray(6, 6 + nameLength).toString("latin1");
  const progress = 6 + nameLength + 1 + 1 + 2 + 2 + 1;
  return {
    name,
    best: (w, l) => bytes.readUInt16LE(progress + w * 49 + 1 + l * 3 + 1) - 32768,
  };
}

function checkPicture(got, name) {
  assert.ok(got, "no picture " + name);
  const file = path.join(references, "journey_" + name);
  fs.writeFileSync(path.join(output, name), got);
  const difference = comparePictures(decodePng(got), decodePng(fs.readFileSync(file)));
  assert.ok(difference === null, name + ": " + difference + " (the page's picture is in " + output + ")");
}

test("a journey from the main menu through world 1 level 1 and back, kept across a reload", async () => {
  const { steps, score } = firstLevelSolution(path.join(top, "tests/fixtures/worlds"));
  const keys = ["Up", "Down", "Left", "Right"];
  const script = [
    "# The main menu once the loading is done.",
    "wait 10", "shot menu.png",
    "# Play: a first game asks for the player's name.",
    "press Return", "wait 2",
    ...Array(8).fill("press Backspace"),
    "type Journey", "wait 10", "press Return", "wait 2",
    "# World 1, then its level 1, won by its shortest solution.",
    "press Return", "wait 2", "press Return", "wait 30",
    ...steps.map((s) => "press " + keys[s]),
    "wait 60", "shot won.png",
    "# On to level 2, then back to the world select and the main menu, and quit.",
    "press Return", "wait 30", "press Escape", "wait 2", "press Escape", "wait 2", "press Escape", "wait 2",
    "press Up", "press Return", "wait 10",
  ].join("\n") + "\n";

  const page = await newPage();
  await page.goto(address("fast&script=" + encodeURIComponent(script), "/test-worlds/"));
  const end = await waitForEnd(page);
  assert.strictEqual(end.status, 0, end.stderr + "\n" + page.log.join("\n"));

  checkPicture(await readFile(page, "/player/menu.png"), "menu.png");
  checkPicture(await readFile(page, "/player/won.png"), "won.png");
  const saved = await readFile(page, "/player/save.dat");
  assert.ok(saved, "no save file");
  const save = readSave(saved);
  assert.strictEqual(save.name, "Journey");
  assert.strictEqual(save.best(1, 1), score);
  assert.ok(await readFile(page, "/player/leveldata/world 1/replays/1-1.rpl"), "no replay of 1-1");

  // A reload reads the player's folder back from IndexedDB: the same save file, before the game touches it.
  await page.goto(address("quit-at-menu", "/test-worlds/"));
  const again = await waitForEnd(page);
  assert.strictEqual(again.status, 0, again.stderr);
  assert.strictEqual(again.loadError, null);
  assert.deepStrictEqual(await readFile(page, "/player/save.dat"), saved);
  console.log("# first menu frame " + Math.round(again.endMs) + " ms after the page began to load");
  await page.context().close();
});

test("a save file cut short starts the game with its defaults and keeps the damaged file", async () => {
  const page = await newPage();
  await page.goto(address("quit-at-menu"));
  await waitForEnd(page);
  await writeFileAndStore(page, "/player/save.dat", Buffer.from("\x04kelv\x03Cut", "latin1"));
  await page.reload();
  const end = await waitForEnd(page);
  assert.strictEqual(end.status, 0, end.stderr);
  assert.match(end.stderr, /is damaged; the game starts with its defaults/);
  assert.match(await page.textContent("#note"), /is damaged; the game starts with its defaults/);
  assert.ok(await readFile(page, "/player/save.dat.damaged"));
  await page.context().close();
});

test("a tampered save file is reported, and the page offers a fresh game that then starts", async () => {
  const page = await newPage();
  await page.goto(address("quit-at-menu"));
  await waitForEnd(page);
  // A whole save file whose checksum (120 for empty tables) is wrong.
  const bytes = Buffer.alloc(799);
  Buffer.from("\x04kelv\x00", "latin1").copy(bytes);
  bytes[6] = 5;   // options
  bytes[7] = 3;   // teleport effect
  bytes.writeUInt16LE(32768, 8);
  bytes.writeUInt16LE(32768, 10);
  bytes[12] = 2;  // window scale
  for (let w = 0; w < 16; ++w) for (let l = 0; l < 16; ++l) bytes.writeUInt16LE(32768, 13 + w * 49 + 1 + l * 3 + 1);
  bytes.writeUInt16LE(7, 797);
  await writeFileAndStore(page, "/player/save.dat", bytes);
  await page.reload();
  const end = await waitForEnd(page);
  assert.notStrictEqual(end.status, 0);
  assert.match(await page.textContent("#notice"), /The save file has been tampered with!/);
  await Promise.all([page.waitForNavigation(), page.click("text=Start a fresh game")]);
  const fresh = await waitForEnd(page);
  assert.strictEqual(fresh.status, 0, fresh.stderr);
  assert.ok(await readFile(page, "/player/save.dat.damaged"));
  await page.context().close();
});

test("a browser without WebGL is told so on the page, with no alert box", async () => {
  // Its own browser: WebGL is switched off for the whole of it.
  const bare = await chromium.launch({ executablePath: "/usr/bin/chromium", headless: true,
                                       args: chromiumFlags.concat(["--disable-3d-apis", "--disable-webgl"]) });
  try {
    const context = await bare.newContext({ viewport: { width: 1100, height: 900 } });
    const page = await context.newPage();
    page.log = [];
    page.on("console", (m) => page.log.push(m.type() + ": " + m.text()));
    const dialogs = [];
    page.on("dialog", (dialog) => {
      dialogs.push(dialog.message());
      dialog.dismiss().catch(() => {});
    });
    await page.goto(address("quit-at-menu"));
    const end = await waitForEnd(page);
    assert.notStrictEqual(end.status, 0);
    const notice = await page.textContent("#notice");
    assert.match(notice, /Failed to open the game's window/);
    assert.match(notice, /no WebGL/);
    assert.deepStrictEqual(dialogs, []);
  } finally {
    await bare.close();
  }
});

test("a damaged IndexedDB store starts a fresh game with a note instead of a blank page", async () => {
  const page = await newPage();
  await page.goto(address("quit-at-menu"));
  await waitForEnd(page);
  // An entry IDBFS can't turn back into a file.
  await page.evaluate(() => new Promise((resolve, reject) => {
    const open = indexedDB.open("/player");
    open.onerror = () => reject(open.error);
    open.onsuccess = () => {
      const db = open.result;
      const tx = db.transaction("FILE_DATA", "readwrite");
      tx.objectStore("FILE_DATA").put({ timestamp: new Date(), mode: 12345 }, "/player/broken");
      tx.oncomplete = () => { db.close(); resolve(); };
      tx.onerror = () => reject(tx.error);
    };
  }));
  await page.reload();
  const end = await waitForEnd(page);
  assert.strictEqual(end.status, 0, end.stderr);
  assert.ok(end.loadError, "the damage went unnoticed");
  assert.match(await page.textContent("#note"), /could not be read; a fresh game starts/);
  await page.context().close();
});

// The cells of a picture that differ from another one, as the box around them in pixels, or null.
function differingBox(a, b) {
  let box = null;
  for (let y = 0; y < a.height; ++y) {
    for (let x = 0; x < a.width; ++x) {
      const i = (y * a.width + x) * 3;
      if (a.pixels[i] === b.pixels[i] && a.pixels[i + 1] === b.pixels[i + 1] && a.pixels[i + 2] === b.pixels[i + 2]) continue;
      if (!box) box = { left: x, top: y, right: x, bottom: y };
      box.left = Math.min(box.left, x);
      box.right = Math.max(box.right, x);
      box.top = Math.min(box.top, y);
      box.bottom = Math.max(box.bottom, y);
    }
  }
  return box;
}

test("a hint, searched without threads, shows the next step on one cell", async () => {
  // The page has no threads: the search runs in slices that give the browser its turns, and the blinking
  // cell shows for the next few frames.
  const shots = Array.from({ length: 12 }, (_, i) => "shot hint" + i + ".png\nwait 1");
  const script = ["wait 40", "shot before.png", "press H", "wait 2", ...shots, "close"].join("\n") + "\n";
  const page = await newPage();
  await page.goto(address("level=1-1&fast&script=" + encodeURIComponent(script), "/test-worlds/"));
  const end = await waitForEnd(page);
  assert.strictEqual(end.status, 0, end.stderr + "\n" + page.log.join("\n"));
  const before = decodePng(await readFile(page, "/player/before.png"));
  const boxes = [];
  for (let i = 0; i < 12; ++i) {
    const box = differingBox(decodePng(await readFile(page, "/player/hint" + i + ".png")), before);
    if (box) boxes.push(box);
  }
  assert.ok(boxes.length > 0, "no hint was shown");
  const cell = 32;  // 16-pixel glyphs at the window scale 2
  for (const box of boxes) {
    assert.ok(box.right - box.left < cell && box.bottom - box.top < cell, "more than one cell changed: " + JSON.stringify(box));
  }
  await page.context().close();
});

test("the cost of a level frame in the browser (a figure, not a limit)", async () => {
  // The same level entered twice on the virtual clock, once for a few frames and once for many more: the
  // difference is what the extra frames cost, drawing and all.
  const time = async (frames) => {
    const page = await newPage();
    await page.goto(address("level=1-1&fast&script=" + encodeURIComponent("wait " + frames + "\nclose\n"), "/test-worlds/"));
    const end = await waitForEnd(page);
    assert.strictEqual(end.status, 0, end.stderr);
    await page.context().close();
    return end.endMs;
  };
  const few = await time(10);
  const many = await time(1010);
  console.log("# a level frame costs " + ((many - few) / 1000).toFixed(2) + " ms in the browser (software WebGL)");
});
