// Lunotrop in the browser, checked in Debian's Chromium (headless) against
// the desktop program: the start screen, the questions, both views, the
// keys, the downloads, a parameter file from the file picker and the end.
//
//   LUNOTROP_SITE     the built site (default build-web/site)
//   LUNOTROP_DESKTOP  the desktop program for the reference pictures and
//                     files (default build/src/control/lunotrop)
//   CHROMIUM          the browser (default /usr/bin/chromium)
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";
import puppeteer from "puppeteer-core";

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, "../..");
const site = path.resolve(process.env.LUNOTROP_SITE || path.join(root, "build-web/site"));
const desktop = path.resolve(process.env.LUNOTROP_DESKTOP || path.join(root, "build/src/control/lunotrop"));
const chromium = process.env.CHROMIUM || "/usr/bin/chromium";
const inside = path.join(root, "docs/beispiel-innen.dat");
const outside = path.join(root, "docs/beispiel-aussen.dat");
const work = fs.mkdtempSync(path.join(os.tmpdir(), "lunotrop-web-"));
const WIDTH = 1920, HEIGHT = 1080;

let server, base, browser;
const figures = {}; // measured values, printed at the end

// ---- the site on 127.0.0.1, with the parameter files under /testdaten/ ----
function serve() {
  const types = { ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".css": "text/css",
    ".wasm": "application/wasm", ".ttf": "font/ttf" };
  const testFiles = { "/testdaten/innen.dat": inside, "/testdaten/aussen.dat": outside };
  return new Promise((resolve) => {
    const s = http.createServer((request, response) => {
      const url = new URL(request.url, "http://127.0.0.1");
      let file = testFiles[url.pathname] ||
        path.join(site, url.pathname === "/" ? "index.html" : path.normalize(url.pathname));
      if (!file.startsWith(site) && !Object.values(testFiles).includes(file)) file = "";
      fs.readFile(file, (error, bytes) => {
        if (error) { response.writeHead(404); response.end(); return; }
        response.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream" });
        response.end(bytes);
      });
    });
    s.listen(0, "127.0.0.1", () => resolve(s));
  });
}

before(async () => {
  assert.ok(fs.existsSync(path.join(site, "lunotrop.wasm")), `no site in ${site}`);
  assert.ok(fs.existsSync(desktop), `no desktop program at ${desktop}`);
  server = await serve();
  base = `http://127.0.0.1:${server.address().port}/`;
  browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: path.join(work, "profil"),
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync",
      `--window-size=${WIDTH},${HEIGHT}`],
  });
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
  console.log("Messwerte: " + JSON.stringify(figures));
  fs.rmSync(work, { recursive: true, force: true });
});

// ---- helpers ----
let downloadCount = 0;
async function openPage(query = "") {
  const page = await browser.newPage();
  await page.setViewport({ width: WIDTH, height: HEIGHT, deviceScaleFactor: 1 });
  const folder = path.join(work, `downloads-${++downloadCount}`);
  fs.mkdirSync(folder);
  const session = await page.createCDPSession();
  await session.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: folder });
  page.downloads = folder;
  const errors = [];
  page.on("pageerror", (error) => errors.push(String(error)));
  page.errors = errors;
  await page.goto(base + query, { waitUntil: "load" });
  return page;
}

const dialogOpen = (page) => page.$eval("#eingabe", (d) => d.open);
const waitForDialog = (page) => page.waitForSelector("#eingabe[open]", { timeout: 15000 });
const waitForFirstPicture = (page) =>
  page.waitForFunction(() => LunotropPage.times.firstPicture !== null, { timeout: 15000 });

// Enter in every dialog until the first picture stands.
async function answerWithDefaults(page) {
  for (let asked = 0; asked < 30; ++asked) {
    await waitForDialog(page);
    await page.keyboard.press("Enter");
    await new Promise((r) => setTimeout(r, 30));
    if (await page.evaluate(() => LunotropPage.times.firstPicture !== null)) return asked + 1;
  }
  throw new Error("the questions do not end");
}

// A key, then time for the tick that acts on it and its step.
async function key(page, name) {
  await page.keyboard.press(name);
  await new Promise((r) => setTimeout(r, 400));
}

// The canvas as RGB bytes, row by row.
async function canvasPixels(page) {
  const encoded = await page.evaluate(() => {
    const canvas = document.getElementById("schirm");
    const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    let binary = "";
    for (let i = 0; i < data.length; i += 4)
      binary += String.fromCharCode(data[i], data[i + 1], data[i + 2]);
    return [canvas.width, canvas.height, btoa(binary)];
  });
  return { width: encoded[0], height: encoded[1], rgb: Buffer.from(encoded[2], "base64") };
}

// The desktop's picture of a parameter file after the keys, as RGB bytes.
function desktopPicture(parameterFile, keys = "") {
  const folder = fs.mkdtempSync(path.join(work, "desktop-"));
  const picture = path.join(folder, "bild.bmp");
  const args = ["--render", picture, "--size", `${WIDTH}x${HEIGHT}`];
  if (keys) args.push("--keys", keys);
  execFileSync(desktop, [...args, parameterFile], { cwd: folder });
  return readBmp(fs.readFileSync(picture));
}

function readBmp(bytes) {
  const offset = bytes.readUInt32LE(10), width = bytes.readInt32LE(18);
  const rawHeight = bytes.readInt32LE(22), bits = bytes.readUInt16LE(28);
  const height = Math.abs(rawHeight), step = bits / 8, rowBytes = Math.ceil((width * step) / 4) * 4;
  const rgb = Buffer.alloc(width * height * 3);
  for (let y = 0; y < height; ++y) {
    const row = offset + (rawHeight > 0 ? height - 1 - y : y) * rowBytes;
    for (let x = 0; x < width; ++x) {
      const p = row + x * step, q = (y * width + x) * 3;
      rgb[q] = bytes[p + 2]; rgb[q + 1] = bytes[p + 1]; rgb[q + 2] = bytes[p];
    }
  }
  return { width, height, rgb };
}

// The share of pixels of the same colour in both pictures.
function agreement(a, b) {
  assert.equal(a.width, b.width);
  assert.equal(a.height, b.height);
  let same = 0;
  for (let i = 0; i < a.rgb.length; i += 3)
    if (a.rgb[i] === b.rgb[i] && a.rgb[i + 1] === b.rgb[i + 1] && a.rgb[i + 2] === b.rgb[i + 2]) ++same;
  return same / (a.width * a.height);
}

// The centre and count of the pixels of one colour.
function centreOf(picture, [r, g, b]) {
  let sx = 0, sy = 0, n = 0;
  for (let y = 0; y < picture.height; ++y)
    for (let x = 0; x < picture.width; ++x) {
      const q = (y * picture.width + x) * 3;
      if (picture.rgb[q] === r && picture.rgb[q + 1] === g && picture.rgb[q + 2] === b) {
        sx += x; sy += y; ++n;
      }
    }
  return { x: sx / n, y: sy / n, n };
}

function colourAt(picture, x, y) {
  const q = (y * picture.width + x) * 3;
  return [picture.rgb[q], picture.rgb[q + 1], picture.rgb[q + 2]];
}

async function waitForDownload(folder, name) {
  const file = path.join(folder, name);
  for (let i = 0; i < 100; ++i) {
    if (fs.existsSync(file)) return fs.readFileSync(file);
    await new Promise((r) => setTimeout(r, 100));
  }
  throw new Error(`no download ${name}; there are: ${fs.readdirSync(folder).join(", ")}`);
}

const YELLOW = [252, 252, 72], DAY_SKY = [0, 0, 252], BLACK = [0, 0, 0];

// ---- the tests ----
test("start screen with its text and the first question, in time", async () => {
  const page = await openPage();
  await waitForDialog(page);
  const prompt = await page.$eval("#eingabe-frage", (e) => e.textContent);
  assert.equal(prompt, "Standort: geografische Breite in Grad");
  assert.equal(await page.$eval("#eingabe-feld", (e) => e.value), "54.3");
  // The default is selected, so typing replaces it.
  assert.deepEqual(await page.$eval("#eingabe-feld", (e) => [e.selectionStart, e.selectionEnd]), [0, 4]);
  // The desktop dialog's layout, centred in the window: 344 wide, a field
  // of 150 for a short default, the buttons in thirds.
  const box = (selector) => page.$eval(selector, (e) => {
    const r = e.getBoundingClientRect();
    return [r.left, r.top, r.width, r.height];
  });
  const [left, top, width, height] = await box("#eingabe");
  assert.deepEqual([left, top, width, height], [(WIDTH - 344) / 2, Math.trunc((HEIGHT - 191) / 2), 344, 191]);
  // Inside the client area, under the title bar:
  const [client, clientTop] = await box("#eingabe .inhalt");
  const field = await box("#eingabe-feld");
  assert.deepEqual([field[0] - client, field[1] - clientTop, field[2]], [97, 65, 150]);
  const ok = await box("#eingabe-ok"), esc = await box("#eingabe-abbruch");
  assert.deepEqual([ok[0] - client, esc[0] - client, ok[1] - clientTop], [58, 197, 108]);
  const picture = await canvasPixels(page);
  assert.equal(picture.width, WIDTH);
  assert.equal(picture.height, HEIGHT);
  // The yellow title of the start text on black.
  assert.ok(centreOf({ ...picture, height: 100 }, YELLOW).n > 200, "no yellow title");
  assert.deepEqual(colourAt(picture, WIDTH - 5, HEIGHT / 2), BLACK);
  assert.equal(await page.$eval("#start-angebot", (e) => e.hidden), false);
  figures.startScreenMs = Math.round(await page.evaluate(() => LunotropPage.times.startScreen));
  assert.ok(figures.startScreenMs < 10000);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test("a rejected answer says why, defaults answer every question", async () => {
  const page = await openPage();
  await waitForDialog(page);
  await page.keyboard.type("abc");
  await page.keyboard.press("Enter");
  await page.waitForFunction(() => document.getElementById("eingabe-grund").textContent !== "");
  assert.equal(await page.$eval("#eingabe-grund", (e) => e.textContent), "keine gültige Zahl");
  assert.equal(await page.$eval("#eingabe-feld", (e) => e.value), "abc");
  await page.keyboard.type("54,3");
  const asked = await answerWithDefaults(page);
  assert.equal(asked, 12); // the rest of the twelve questions of the inside view
  await waitForFirstPicture(page);
  const times = await page.evaluate(() => LunotropPage.times);
  figures.answerToPictureMs = Math.round(times.firstPicture - times.lastAnswer);
  assert.ok(figures.answerToPictureMs < 3000);
  assert.equal(await dialogOpen(page), false);
  assert.equal(await page.$eval("#start-angebot", (e) => e.hidden), true);
  await page.close();
});

test("Esc in the dialog ends the program", async () => {
  const page = await openPage();
  await waitForDialog(page);
  await page.keyboard.press("Escape");
  await page.waitForSelector("#ende:not([hidden])", { timeout: 5000 });
  assert.equal(await dialogOpen(page), false);
  await page.close();
});

test("inside view: day sky and the Sun where the desktop draws them", async () => {
  const page = await openPage("?datei=testdaten/innen.dat");
  await waitForFirstPicture(page);
  assert.equal(await dialogOpen(page), false);
  const web = await canvasPixels(page);
  const reference = desktopPicture(inside);
  assert.deepEqual(colourAt(web, WIDTH / 2 + 150, 300), DAY_SKY);
  const sun = centreOf(web, YELLOW), referenceSun = centreOf(reference, YELLOW);
  assert.ok(sun.n > 100, "no Sun");
  assert.ok(Math.abs(sun.x - referenceSun.x) <= 3 && Math.abs(sun.y - referenceSun.y) <= 3,
    `Sun at ${sun.x},${sun.y}, desktop ${referenceSun.x},${referenceSun.y}`);
  figures.insideAgreement = agreement(web, reference);
  assert.ok(figures.insideAgreement > 0.97, `only ${figures.insideAgreement} alike`);
  await page.close();
});

test("d gives the outside view, h the next perspective, as on the desktop", async () => {
  const page = await openPage("?datei=testdaten/innen.dat");
  await waitForFirstPicture(page);
  await key(page, "d");
  const web = await canvasPixels(page);
  const reference = desktopPicture(inside, "d");
  figures.outsideAgreement = agreement(web, reference);
  assert.ok(figures.outsideAgreement > 0.97, `only ${figures.outsideAgreement} alike`);
  // Black space, the lit Earth and Moon in their colours.
  assert.deepEqual(colourAt(web, 5, HEIGHT / 2), BLACK);
  const colours = new Set();
  for (let i = 0; i < web.rgb.length; i += 3 * 97) colours.add(web.rgb.readUIntBE(i, 3));
  assert.ok(colours.size >= 4, "the outside view has too few colours");
  await key(page, "h");
  const next = await canvasPixels(page);
  figures.perspectiveAgreement = agreement(next, desktopPicture(inside, "dh"));
  assert.ok(figures.perspectiveAgreement > 0.97, `only ${figures.perspectiveAgreement} alike`);
  assert.ok(agreement(next, web) < 0.9999, "h changed nothing");
  await page.close();
});

test("F1 shows the help", async () => {
  const page = await openPage("?datei=testdaten/innen.dat");
  await waitForFirstPicture(page);
  await key(page, "F1");
  const web = await canvasPixels(page);
  figures.helpAgreement = agreement(web, desktopPicture(inside, "{F1}"));
  assert.ok(figures.helpAgreement > 0.95, `only ${figures.helpAgreement} alike`);
  await page.close();
});

test("s downloads the picture as PNG, F2 the parameter file as on the desktop", async () => {
  const page = await openPage("?datei=testdaten/innen.dat");
  await waitForFirstPicture(page);
  await key(page, "s");
  const png = await waitForDownload(page.downloads, "Lunotrop00.png");
  assert.equal(await page.$eval("#hinweis", (e) => e.textContent), "Bild gespeichert: Lunotrop00.png");
  assert.equal(png.subarray(1, 4).toString(), "PNG");
  assert.equal(png.readUInt32BE(16), WIDTH);
  assert.ok(png.readUInt32BE(20) > 0 && png.readUInt32BE(20) <= HEIGHT);
  await key(page, "s");
  await waitForDownload(page.downloads, "Lunotrop01.png");
  // What is saved follows the program: here the view it shows.
  await key(page, "d");
  await key(page, "F2");
  const saved = await waitForDownload(page.downloads, "Lunotrop.dat");
  const folder = fs.mkdtempSync(path.join(work, "f2-"));
  execFileSync(desktop, ["--render", "x.bmp", "--keys", "d{F2}", inside], { cwd: folder });
  const expected = fs.readFileSync(path.join(folder, "Lunotrop.dat"));
  assert.ok(!expected.equals(fs.readFileSync(inside)), "the keys changed nothing");
  assert.ok(saved.equals(expected), "Lunotrop.dat differs from the desktop's");
  await page.close();
});

test("a parameter file from the file picker starts at once", async () => {
  const page = await openPage();
  await waitForDialog(page);
  const [chooser] = await Promise.all([page.waitForFileChooser(), page.click("#datei-laden")]);
  await Promise.all([page.waitForNavigation({ waitUntil: "load" }), chooser.accept([outside])]);
  await waitForFirstPicture(page);
  assert.equal(await page.evaluate(() => LunotropPage.times.startScreen), null, "a question was asked");
  const web = await canvasPixels(page);
  figures.pickedAgreement = agreement(web, desktopPicture(outside));
  assert.ok(figures.pickedAgreement > 0.97, `only ${figures.pickedAgreement} alike`);
  await page.close();
});

test("the animation step takes little time, and Ctrl+C ends the program", async () => {
  const page = await openPage("?datei=testdaten/innen.dat");
  await waitForFirstPicture(page);
  await key(page, "e"); // single step off: the animation runs
  // The work of the ticks that drew (the delay between the steps left out).
  const measureSteps = async (view) => {
    await page.evaluate(() => { LunotropPage.times.tickWork.length = 0; });
    await new Promise((r) => setTimeout(r, 3000));
    const work = await page.evaluate(() => LunotropPage.times.tickWork.slice());
    assert.ok(work.length > 20, `only ${work.length} steps in 3 s`);
    work.sort((a, b) => a - b);
    figures[view + "StepMedianMs"] = Number(work[Math.floor(work.length / 2)].toFixed(2));
    figures[view + "StepP90Ms"] = Number(work[Math.floor(work.length * 0.9)].toFixed(2));
  };
  await measureSteps("inside");
  await key(page, "d");
  await measureSteps("outside");
  await page.keyboard.down("Control");
  await page.keyboard.press("c");
  await page.keyboard.up("Control");
  await page.waitForSelector("#ende:not([hidden])", { timeout: 5000 });
  assert.equal(await page.$eval("#ende p", (e) => e.textContent), "Programm beendet – neu starten?");
  assert.equal(await page.$eval("#neu-starten", (e) => e.textContent), "Neu starten");
  await page.close();
});

test("the site is small", () => {
  let bytes = 0;
  const add = (folder) => {
    for (const entry of fs.readdirSync(folder, { withFileTypes: true })) {
      const file = path.join(folder, entry.name);
      if (entry.isDirectory()) add(file);
      else if (!entry.name.endsWith(".txt")) bytes += fs.statSync(file).size;
    }
  };
  add(site);
  figures.siteBytes = bytes;
  assert.ok(bytes <= 4 * 1024 * 1024, `${bytes} bytes`);
});
