// The drill in a classroom, in headless chromium: offline after the first visit, the record
// kept on the device and handed in as Miradosh.rec's bytes, the teacher's sets, printing.
// Usage: node test/classroom_test.mjs SITE_DIR
// SOLVARI_CHECKER names the desktop checker (default: build/app/solvari-check of the checkout);
// without one, the exported record is checked byte for byte only.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve, dirname } from "node:path";
import { fileURLToPath } from "node:url";
import { serve, launch, openDrill } from "./browser.mjs";

const site = resolve(process.argv[2] || process.env.SOLVARI_SITE || "../build-web/site");
const root = resolve(dirname(fileURLToPath(import.meta.url)), "../..");
const checker = process.env.SOLVARI_CHECKER || join(root, "build/app/solvari-check");
const scratch = mkdtempSync(join(tmpdir(), "solvari-classroom-"));

// "<<復習" + two questions, in Shift-JIS as the desktop saves a set
const REVIEW_SET = Buffer.from([60, 60, 149, 156, 143, 75, 13, 10, 50, 120, 61, 54, 13, 10, 120, 43, 49, 61, 51, 13, 10, 62, 62, 13, 10]);
// UTF-8, the second question faulty
const FAULTY_SET = Buffer.from("<<誤りのある問題集\r\n2x=6\r\nx=3=4\r\n>>\r\n", "utf8");
const BUNDLED_CAPTION = "一次方程式（１）基本";

let server, browser;
before(async () => {
  server = await serve(site, { "review.leq": REVIEW_SET, "faulty.leq": FAULTY_SET });
  browser = await launch();
});
after(async () => {
  await browser.close();
  await server.close();
  rmSync(scratch, { recursive: true, force: true });
});

// ------------------------------------------------------------ helpers

const text = (page, id) => page.$eval("#" + id, (e) => e.textContent);
const visible = (page, id) => page.$eval("#" + id, (e) => !e.hidden && e.getClientRects().length > 0);
const clickId = (page, id) => page.click("#" + id);

async function session(url = server.url, width = 1366, height = 768) {
  const context = await browser.createBrowserContext();
  const page = await openDrill(context, url, width, height);
  page.context = context;
  return page;
}

async function reopen(page) {
  await page.reload();
  await page.waitForFunction(() => window.solvariReady !== undefined, { timeout: 20000 });
}

async function takeNotice(page) {
  await page.waitForFunction(() => !document.getElementById("noticeBox").hidden, { timeout: 5000 });
  const said = [await text(page, "noticeCaption"), await text(page, "noticeText")];
  await clickId(page, "noticeOk");
  return said;
}

// Question 1 of unit 1 (2x=6), after a hint when asked.
async function solveFirst(page, hint = false) {
  if (hint) await clickId(page, "btnHint");
  await clickId(page, "btnShiki1");
  await page.click('[data-op="/"]');
  await page.click('.key[data-key="Digit2"]');
  await clickId(page, "btnJikkou");
  assert.equal(await text(page, "lblMess"), "解が出ました");
}

async function recordRows(page) {
  await clickId(page, "btnRecord");
  await page.waitForFunction(() => document.querySelectorAll("#lstTitle li").length > 0);
  await new Promise((r) => setTimeout(r, 100));  // the viewer reads storage again
  const rows = await page.$$eval("#lstTitle li", (li) => li.map((e) => e.textContent));
  await clickId(page, "btnKirokuClose");
  return rows;
}

// The record's bytes as IndexedDB holds them ([] when none).
function storedRecord(page) {
  return page.evaluate(() => new Promise((resolve, reject) => {
    const open = indexedDB.open("solvari", 1);
    open.onsuccess = () => {
      const read = open.result.transaction("kept", "readonly").objectStore("kept").get("record");
      read.onsuccess = () => { resolve(read.result ? Array.from(read.result.bytes) : []); open.result.close(); };
      read.onerror = () => reject(read.error);
    };
    open.onerror = () => reject(open.error);
  }));
}

const sjis = new TextDecoder("shift_jis");
const decoded = (bytes) => sjis.decode(Uint8Array.from(bytes));

async function waitStored(page, needle) {
  for (let i = 0; i < 50; i++) {
    if (decoded(await storedRecord(page)).includes(needle)) return;
    await new Promise((r) => setTimeout(r, 100));
  }
  assert.fail("never stored: " + needle);
}

// ------------------------------------------------------------ offline and installable

test("after the first visit the drill starts and works offline, and can be installed", async () => {
  const own = await serve(site);
  // the default profile: an incognito context cannot install (a server of its own, an origin of its own)
  const page = await openDrill(browser, own.url, 1366, 768);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 20000 });
  const cdp = await page.createCDPSession();
  const { installabilityErrors } = await cdp.send("Page.getInstallabilityErrors");
  assert.deepEqual(installabilityErrors, []);
  await own.close();
  await page.setOfflineMode(true);
  await reopen(page);
  assert.equal(await text(page, "pageCaption"), BUNDLED_CAPTION);
  await solveFirst(page);
  assert.equal(await text(page, "answerText"), "【答】x=3");
  assert.deepEqual(page.solvariErrors.filter((e) => !e.includes("net::ERR")), []);
  await page.close();
});

// ------------------------------------------------------------ the record

test("the record survives a reload, is exported as Miradosh.rec's bytes and read by the checker", async () => {
  const page = await session();
  await solveFirst(page, true);
  await waitStored(page, "H1=1");
  await reopen(page);
  const rows = await recordRows(page);
  assert.deepEqual(rows.filter((r) => !/^\d{4}年/.test(r)).slice(0, 3), [BUNDLED_CAPTION, "  1☆", "  2"]);

  // a name that cannot name a file is refused, then the student's name names the file
  const downloads = mkdtempSync(join(scratch, "download-"));
  const cdp = await browser.target().createCDPSession();
  await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads, browserContextId: page.context.id });
  await clickId(page, "btnRecord");
  await clickId(page, "btnExport");
  await page.type("#edtStudent", "a/b");
  await clickId(page, "btnExportSave");
  assert.match(await text(page, "exportError"), /使えません/);
  await page.$eval("#edtStudent", (e) => { e.value = ""; });
  await page.type("#edtStudent", "　山田 ");
  await clickId(page, "btnExportSave");
  const file = join(downloads, "山田.rec");
  for (let i = 0; i < 50 && !existsSync(file); i++) await new Promise((r) => setTimeout(r, 100));
  assert.deepEqual(readdirSync(downloads), ["山田.rec"]);
  const bytes = readFileSync(file);
  assert.match(decoded(bytes), /^\[一次方程式（１）基本\]\r\n1=1\r\nDATE=\d{4}年\d\d月\d\d日\d\d:\d\d\r\nH1=1\r\n$/);
  assert.deepEqual(Array.from(bytes), await storedRecord(page), "the file holds the stored bytes");
  if (existsSync(checker)) {
    const tsv = execFileSync(checker, ["--records", "--tsv", file], { encoding: "utf8" }).trim().split("\n");
    const header = tsv[0].split("\t");
    const row = Object.fromEntries(tsv[1].split("\t").map((v, i) => [header[i], v]));
    assert.equal(row.unit, BUNDLED_CAPTION, tsv.join("\n"));
    assert.equal(row.q1 ?? row["1"], "1", tsv.join("\n"));
    assert.equal(row.h1, "1", tsv.join("\n"));
  } else {
    console.log(`# no desktop checker at ${checker}: the exported record was not read by it`);
  }
  await page.context.close();
});

test("a damaged record is refused and the stored one kept; a good one replaces it after a question", async () => {
  const page = await session();
  await solveFirst(page);
  await waitStored(page, "1=1");
  const kept = await storedRecord(page);
  const damaged = join(scratch, "damaged.rec");
  writeFileSync(damaged, Buffer.from("これは記録ではありません\r\n[a]\r\n1=1\r\n", "utf8"));
  await clickId(page, "btnRecord");
  await (await page.$("#recordFile")).uploadFile(damaged);
  await page.waitForFunction(() => document.getElementById("recordStatus").textContent !== "");
  assert.match(await text(page, "recordStatus"), /読み込めません.*この端末の記録はそのままです/);
  assert.ok(!(await visible(page, "confirmBox")), "nothing is asked for a damaged file");
  assert.deepEqual(await storedRecord(page), kept);

  // a record from another device: asked first, then it replaces this one
  const other = join(scratch, "Miradosh.rec");
  writeFileSync(other, Buffer.concat([Buffer.from("["), Buffer.from([0x88, 0xea]), Buffer.from("]\r\n1=2\r\n")]));  // [一]
  await (await page.$("#recordFile")).uploadFile(other);
  await page.waitForFunction(() => !document.getElementById("confirmBox").hidden);
  assert.match(await text(page, "confirmText"), /置き換えます/);
  await clickId(page, "confirmYes");
  await page.waitForFunction(() => /読み込みました/.test(document.getElementById("recordStatus").textContent));
  await clickId(page, "btnKirokuClose");
  assert.deepEqual(await storedRecord(page), Array.from(readFileSync(other)));
  assert.ok((await recordRows(page)).includes("  1"), "the old finish is gone");
  await page.context.close();
});

test("when the browser keeps nothing the drill still works and says so once", async () => {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 1366, height: 768 });
  await page.evaluateOnNewDocument(() => {
    Object.defineProperty(window, "indexedDB", { get() { throw new DOMException("refused", "SecurityError"); } });
  });
  await page.goto(server.url);
  await page.waitForFunction(() => window.solvariReady !== undefined, { timeout: 20000 });
  const [caption, said] = await takeNotice(page);
  assert.equal(caption, "練習の記録");
  assert.match(said, /保存できません/);
  await solveFirst(page);
  assert.ok(!(await visible(page, "noticeBox")), "said once");
  assert.ok((await recordRows(page)).includes("  1★"), "the finish counts for this visit");
  await context.close();
});

// A school server reached over plain http by its name is no secure context: no service worker,
// no offline use. The page says so once, not at every start.
test("over plain http from a school server the page says once that it will not work offline", async () => {
  const schoolBrowser = await launch(["--host-resolver-rules=MAP school.test 127.0.0.1"]);
  try {
    const page = await openDrill(schoolBrowser, `http://school.test:${server.port}/`, 1366, 768);
    const [caption, said] = await takeNotice(page);
    assert.equal(caption, "オフライン");
    assert.match(said, /https ではない接続/);
    await reopen(page);
    await solveFirst(page);
    assert.ok(!(await visible(page, "noticeBox")), "said once");
  } finally {
    await schoolBrowser.close();
  }
});

// ------------------------------------------------------------ the teacher's sets

test("?set= opens the set beside the site, keeps it, and a faulty set is refused with the check", async () => {
  const page = await session(server.url + "?set=review.leq");
  assert.equal(await text(page, "pageCaption"), "復習");
  await reopen(page);
  await page.goto(server.url);  // the next start, without the link
  await page.waitForFunction(() => window.solvariReady !== undefined);
  assert.equal(await text(page, "pageCaption"), "復習", "kept on the device");

  await page.goto(server.url + "?set=faulty.leq");
  await page.waitForFunction(() => window.solvariReady !== undefined);
  const [caption, said] = await takeNotice(page);
  assert.equal(caption, "問題集を開けません");
  assert.match(said, /「faulty\.leq」/);
  assert.match(said, /単元1 問題2: x=3=4\n    ＝の数が不正です/);
  assert.equal(await text(page, "pageCaption"), "復習", "the drill stays on the set it had");

  await page.goto(server.url + "?set=..%2Fsecret.leq");
  await page.waitForFunction(() => window.solvariReady !== undefined);
  assert.match((await takeNotice(page))[1], /ファイル名ではありません/);

  // 同梱の問題集に戻す in the unit window
  await clickId(page, "btnChangeTangen");
  assert.equal(await text(page, "setName"), "問題集: review.leq");
  await clickId(page, "btnBundledSet");
  assert.equal(await text(page, "pageCaption"), BUNDLED_CAPTION);
  await page.context.close();
});

test("問題集を開く takes a set from the device and refuses a faulty one", async () => {
  const page = await session();
  const good = join(scratch, "REVIEW.LEQ");
  writeFileSync(good, REVIEW_SET);
  await clickId(page, "btnChangeTangen");
  await (await page.$("#setFile")).uploadFile(good);
  await page.waitForFunction(() => document.getElementById("pageCaption").textContent === "復習");
  assert.ok(!(await visible(page, "frmMondai")));
  const faulty = join(scratch, "faulty.leq");
  writeFileSync(faulty, FAULTY_SET);
  await clickId(page, "btnChangeTangen");
  await (await page.$("#setFile")).uploadFile(faulty);
  const [, said] = await takeNotice(page);
  assert.match(said, /＝の数が不正です/);
  assert.equal(await text(page, "pageCaption"), "復習");
  assert.ok(!(await visible(page, "modalLayer")));
  await page.context.close();
});

// ------------------------------------------------------------ printing

test("printing gives one A4 page of the lines at the desktop's size, without controls", async () => {
  const page = await session();
  await solveFirst(page);
  const pdf = join(scratch, "drill.pdf");
  writeFileSync(pdf, await page.pdf({ preferCSSPageSize: true }));
  const info = execFileSync("pdfinfo", [pdf], { encoding: "utf8" });
  assert.match(info, /Pages:\s+1\n/);
  assert.match(info, /Page size:\s+59[45]\.\d+ x 841\.\d+ pts \(A4\)/);
  const words = execFileSync("pdftotext", ["-layout", pdf, "-"], { encoding: "utf8" });
  assert.match(words, new RegExp(BUNDLED_CAPTION));
  assert.match(words, /\d{4}\.\d\d\.\d\d/, "the date");
  for (const control of ["実行", "訂正", "単元変更", "次の問題", "解が出ました", "ヒント"]) assert.ok(!words.includes(control), control);
  // the two lines and the answer, each box pixel at 4/600 inch: 150 pixels per inch
  const images = execFileSync("pdfimages", ["-list", pdf], { encoding: "utf8" }).trim().split("\n").slice(2).map((l) => l.trim().split(/\s+/));
  assert.equal(images.length, 3, images.join("\n"));
  const boxWidth = await page.evaluate(() => Number(getComputedStyle(document.documentElement).getPropertyValue("--box-px")));
  assert.deepEqual(images.map((i) => [Number(i[3]), Number(i[4])]), [[boxWidth, 75], [boxWidth, 75], [272, 76]]);
  // (within the snapping of a box edge to a whole CSS pixel)
  for (const i of images) assert.ok(Math.abs(Number(i[12]) - 150) <= 2.5 && Math.abs(Number(i[13]) - 150) <= 2.5, i.join(" "));
  // the caption where the desktop prints it: 560/600 inch from the top, 0.32 inch from the left
  const bbox = execFileSync("pdftotext", ["-bbox", pdf, "-"], { encoding: "utf8" });
  const first = bbox.match(/<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>一次方程式/);
  assert.ok(first, bbox);
  assert.ok(Math.abs(Number(first[1]) - 0.32 * 72) < 3, "left " + first[1]);
  assert.ok(Math.abs(Number(first[2]) - (560 / 600) * 72) < 4, "top " + first[2]);
  if (process.env.SOLVARI_PRINT_PNG) execFileSync("pdftoppm", ["-png", "-r", "60", "-singlefile", pdf, process.env.SOLVARI_PRINT_PNG]);
  await page.context.close();
});
