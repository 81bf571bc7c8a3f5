// The screenshots of the browser version in docs/: both views of the
// example files, taken in Debian's Chromium (headless) at 1280 x 800.
//   node tests/web/screenshots.mjs [SITE]   (default build-web/site)
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";
import puppeteer from "puppeteer-core";

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), "../..");
const site = path.resolve(process.argv[2] || path.join(root, "build-web/site"));
const examples = { "/innen.dat": "docs/beispiel-innen.dat", "/aussen.dat": "docs/beispiel-aussen.dat" };

const server = http.createServer((request, response) => {
  const url = new URL(request.url, "http://127.0.0.1").pathname;
  const file = examples[url] ? path.join(root, examples[url])
    : path.join(site, url === "/" ? "index.html" : path.normalize(url));
  const types = { ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".css": "text/css",
    ".wasm": "application/wasm" };
  fs.readFile(file, (error, bytes) => {
    if (error) { response.writeHead(404); response.end(); return; }
    response.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream" });
    response.end(bytes);
  });
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const base = `http://127.0.0.1:${server.address().port}/`;
const profile = fs.mkdtempSync(path.join(os.tmpdir(), "lunotrop-bilder-"));
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium", headless: true, userDataDir: profile,
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync"],
});
for (const [file, picture] of [["innen.dat", "browser-innen.png"], ["aussen.dat", "browser-aussen.png"]]) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 800, deviceScaleFactor: 1 });
  await page.goto(`${base}?datei=${file}`, { waitUntil: "load" });
  await page.waitForFunction(() => LunotropPage.times.firstPicture !== null);
  await new Promise((r) => setTimeout(r, 300));
  await page.screenshot({ path: path.join(root, "docs", picture) });
  await page.close();
}
await browser.close();
server.close();
fs.rmSync(profile, { recursive: true, force: true });
