// What the browser tests, the screenshots and the benchmark share: a static server for the
// built site and Debian's chromium, headless, in a fresh profile (no browser is downloaded).
import { createServer } from "node:http";
import { mkdtempSync, readFileSync, rmSync, existsSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, extname, normalize } from "node:path";
import puppeteer from "puppeteer-core";

const TYPES = {
  ".html": "text/html; charset=utf-8",
  ".css": "text/css; charset=utf-8",
  ".js": "text/javascript; charset=utf-8",
  ".mjs": "text/javascript; charset=utf-8",
  ".wasm": "application/wasm",
  ".webmanifest": "application/manifest+json",
  ".png": "image/png",
  ".svg": "image/svg+xml",
};

// extra: name -> bytes served beside the site (a teacher's sets).
export function serve(siteDir, extra = {}) {
  const server = createServer((req, res) => {
    const path = normalize(decodeURIComponent(new URL(req.url, "http://x").pathname)).replace(/^(\.\.[/\\])+/, "");
    if (Object.prototype.hasOwnProperty.call(extra, path.slice(1))) {
      res.writeHead(200, { "Content-Type": "application/octet-stream", "Cache-Control": "no-cache" });
      res.end(extra[path.slice(1)]);
      return;
    }
    const file = join(siteDir, path === "/" ? "index.html" : path);
    if (!file.startsWith(siteDir) || !existsSync(file)) {
      res.writeHead(404);
      res.end();
      return;
    }
    res.writeHead(200, { "Content-Type": TYPES[extname(file)] || "application/octet-stream", "Cache-Control": "max-age=3600" });
    res.end(readFileSync(file));
  });
  return new Promise((resolve) => {
    server.listen(0, "127.0.0.1", () => {
      const port = server.address().port;
      resolve({ url: `http://127.0.0.1:${port}/`, port, close: () => new Promise((r) => { server.closeAllConnections(); server.close(r); }) });
    });
  });
}

export const CHROMIUM = process.env.SOLVARI_CHROMIUM || "/usr/bin/chromium";

export async function launch(extraArgs = []) {
  const profile = mkdtempSync(join(tmpdir(), "solvari-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync",
      `--user-data-dir=${profile}`, ...extraArgs],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// A page of the site at a viewport size, once the drill shows question 1. browser may be a
// browser context (storage of its own).
export async function openDrill(browser, url, width, height) {
  const page = await browser.newPage();
  await page.setViewport({ width, height });
  const errors = [];
  page.on("pageerror", (e) => errors.push(String(e)));
  page.on("console", (m) => { if (m.type() === "error") errors.push(m.text()); });
  await page.goto(url);
  await page.waitForFunction(() => window.solvariReady !== undefined, { timeout: 20000 });
  page.solvariErrors = errors;
  return page;
}
